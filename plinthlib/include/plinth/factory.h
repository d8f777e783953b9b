// Class factories that create a component's objects from their run-time
// class and register them with a registry script.
#pragma once

#include "plinth/object.h"

#include <map>
#include <string>

class CTModule;

class CTFactory : public CObject, public IClassFactory {
public:
    CTFactory(REFCLSID clsid, CRuntimeClass *runtimeClass, unsigned registryScriptId);
    ~CTFactory() override;

    // Runs the registry script with %MODULE% set to the component's path.
    virtual HRESULT UpdateRegistry(bool doRegister);
    virtual BOOL OnRegister();
    virtual void OnInitRegistryVariables(std::map<std::string, std::string> &vars);

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override;
    HRESULT LockServer(BOOL lock) override;

    const CLSID &GetClassID() const { return m_clsid; }
    CRuntimeClass *GetRuntimeClass() const override;
    static CRuntimeClass classCTFactory;

protected:
    CTModule *m_module;

private:
    CLSID m_clsid;
    CRuntimeClass *m_objectClass;
    unsigned m_scriptId;
};

class CKROleObjectFactory : public CTFactory {
public:
    using CTFactory::CTFactory;
    CRuntimeClass *GetRuntimeClass() const override;
    static CRuntimeClass classCKROleObjectFactory;
};
