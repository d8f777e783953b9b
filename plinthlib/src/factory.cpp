#include "plinth/factory.h"
#include "plinth/module.h"

#include "com/support.h"

#include <new>

CRuntimeClass CTFactory::classCTFactory = {"CTFactory", nullptr};
CRuntimeClass CKROleObjectFactory::classCKROleObjectFactory = {"CKROleObjectFactory", nullptr};

CTFactory::CTFactory(REFCLSID clsid, CRuntimeClass *runtimeClass, unsigned registryScriptId)
    : m_module(CTModule::GetModule()), m_clsid(clsid), m_objectClass(runtimeClass), m_scriptId(registryScriptId)
{
    if (m_module)
        m_module->AddFactory(this);
}

CTFactory::~CTFactory() = default;

void CTFactory::OnInitRegistryVariables(std::map<std::string, std::string> &vars)
{
    vars["MODULE"] = m_module ? m_module->ModulePath() : std::string();
}

HRESULT CTFactory::UpdateRegistry(bool doRegister)
{
    if (!m_module)
        return E_UNEXPECTED;
    auto it = m_module->resources().registryScripts.find(m_scriptId);
    if (it == m_module->resources().registryScripts.end())
        return SELFREG_E_CLASS;
    std::map<std::string, std::string> vars;
    OnInitRegistryVariables(vars);
    return com::runRegistryScript(it->second, doRegister, vars);
}

BOOL CTFactory::OnRegister()
{
    return TRUE; // an in-process server has no running class object
}

HRESULT CTFactory::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *ppv = static_cast<IClassFactory *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// A factory handed out keeps the module loaded.
ULONG CTFactory::AddRef()
{
    return m_module ? ULONG(m_module->Lock()) : 1;
}

ULONG CTFactory::Release()
{
    return m_module ? ULONG(m_module->Unlock()) : 1;
}

HRESULT CTFactory::CreateInstance(IUnknown *outer, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    PLINTH_MANAGE_STATE(m_module);
    CObject *object = nullptr;
    try {
        object = m_objectClass->CreateObject();
    } catch (const CException &e) {
        return e.GetHResult();
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
    auto *target = dynamic_cast<CCmdTarget *>(object);
    if (!target) {
        delete object;
        return E_NOINTERFACE;
    }
    const HRESULT hr = target->ExternalQueryInterface(riid, ppv);
    target->ExternalRelease(); // the creation count; the caller's reference remains
    return hr;
}

HRESULT CTFactory::LockServer(BOOL lock)
{
    if (!m_module)
        return E_UNEXPECTED;
    if (lock)
        m_module->Lock();
    else
        m_module->Unlock();
    return S_OK;
}

CRuntimeClass *CTFactory::GetRuntimeClass() const
{
    return &classCTFactory;
}

CRuntimeClass *CKROleObjectFactory::GetRuntimeClass() const
{
    return &classCKROleObjectFactory;
}
