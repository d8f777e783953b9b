#include "plinth/module.h"
#include "plinth/factory.h"

#include "com/support.h"

namespace {
thread_local CTModule *t_current = nullptr;
CTModule *g_last = nullptr;
} // namespace

CRuntimeClass CTModule::classCTModule = {"CTModule", nullptr};
CRuntimeClass CTMfcModule::classCTMfcModule = {"CTMfcModule", nullptr};

CTModule::CTModule()
{
    g_last = this;
}

CTModule::~CTModule()
{
    m_term.run();
    for (CTFactory *f : m_factories)
        delete f;
    if (g_last == this)
        g_last = nullptr;
    if (t_current == this)
        t_current = nullptr;
}

BOOL CTModule::InitInstance()
{
    return TRUE;
}

int CTModule::ExitInstance()
{
    m_term.run();
    return 0;
}

HRESULT CTModule::OnInstall()
{
    return S_OK;
}

HRESULT CTModule::OnRegisterServer(bool doRegister)
{
    for (CTFactory *f : m_factories) {
        const HRESULT hr = f->UpdateRegistry(doRegister);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CTModule::OnCanUnloadNow()
{
    if (m_locks > 0)
        return S_FALSE;
    // About to be unloaded: let go of what pins the module (type information).
    m_term.run();
    return S_OK;
}

HRESULT CTModule::OnGetClassObject(REFCLSID clsid, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (CTFactory *f : m_factories)
        if (f->GetClassID() == clsid)
            return f->QueryInterface(riid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

LONG CTModule::Lock()
{
    return ++m_locks;
}

LONG CTModule::Unlock()
{
    return --m_locks;
}

CTModule *CTModule::GetModule()
{
    return t_current ? t_current : g_last;
}

CRuntimeClass *CTModule::GetRuntimeClass() const
{
    return &classCTModule;
}

void CTModule::EnsureInitialized()
{
    std::call_once(m_init, [this] { m_initialized = InitInstance(); });
}

void CTModule::AddFactory(CTFactory *factory)
{
    m_factories.push_back(factory);
}

QString CTModule::LoadString(unsigned id) const
{
    auto it = m_resources.strings.find(id);
    return it == m_resources.strings.end() ? QString() : QString::fromUtf8(it->second);
}

void CTModule::SetModuleAddress(const void *address)
{
    m_path = com::modulePathOf(address);
}

BOOL CTMfcModule::InitInstance()
{
    return CTModule::InitInstance();
}

CRuntimeClass *CTMfcModule::GetRuntimeClass() const
{
    return &classCTMfcModule;
}

CTModuleState::CTModuleState(CTModule *module) : m_previous(t_current)
{
    t_current = module;
}

CTModuleState::~CTModuleState()
{
    t_current = m_previous;
}

QString LoadResString(unsigned id)
{
    CTModule *m = CTModule::GetModule();
    return m ? m->LoadString(id) : QString();
}
