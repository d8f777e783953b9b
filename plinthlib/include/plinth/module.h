// The module object of a component library, its resources and the
// module-state switch every export makes first.
#pragma once

#include "plinth/object.h"

#include "com/typelib.h"

#include <QString>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class QWidget;
class CTFactory;

namespace plinth {

// A dialog template: its caption and the code that builds its controls
// into a page (each control's object name is its numeric id).
struct DialogResource {
    const char *caption;
    void (*build)(QWidget *page);
};

// Resources addressed by number, as a component declares them.
struct ResourceTable {
    std::map<unsigned, const char *> strings;
    std::map<unsigned, DialogResource> dialogs;
    std::map<unsigned, const char *> registryScripts;
    std::map<unsigned, const char *> icons; // Qt resource paths
    std::map<unsigned, const char *> bitmaps;
};

} // namespace plinth

class CTModule : public CObject {
public:
    CTModule();
    ~CTModule() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual HRESULT OnInstall();
    // Registers (or removes) the registry script of every class factory.
    virtual HRESULT OnRegisterServer(bool doRegister);
    virtual HRESULT OnCanUnloadNow();
    virtual HRESULT OnGetClassObject(REFCLSID clsid, REFIID riid, void **ppv);
    LONG Lock();
    LONG Unlock();
    LONG GetLockCount() const { return m_locks; }

    // The module whose state is current (set by the exports).
    static CTModule *GetModule();
    CRuntimeClass *GetRuntimeClass() const override;
    static CRuntimeClass classCTModule;

    // Runs InitInstance once.
    void EnsureInitialized();
    void AddFactory(CTFactory *factory);
    const std::vector<CTFactory *> &factories() const { return m_factories; }

    plinth::ResourceTable &resources() { return m_resources; }
    QString LoadString(unsigned id) const;
    // Full path of the component's file; set from an address inside it.
    void SetModuleAddress(const void *address);
    const std::string &ModulePath() const { return m_path; }
    com::TermFuncList &TermFuncs() { return m_term; }
    // Caption of the component's message boxes.
    QString AppName() const { return m_appName; }
    void SetAppName(const QString &name) { m_appName = name; }

protected:
    plinth::ResourceTable m_resources;

private:
    std::vector<CTFactory *> m_factories;
    std::atomic<LONG> m_locks{0};
    std::once_flag m_init;
    bool m_initialized = false;
    std::string m_path;
    com::TermFuncList m_term;
    QString m_appName;
};

// The module of a component built on the widget framework.
class CTMfcModule : public CTModule {
public:
    BOOL InitInstance() override;
    void EnableControlContainer() { m_controlContainer = true; }
    bool ControlContainerEnabled() const { return m_controlContainer; }
    CRuntimeClass *GetRuntimeClass() const override;
    static CRuntimeClass classCTMfcModule;

private:
    bool m_controlContainer = false;
};

// Makes a module current for the scope (each export and COM method does
// this first, so resources come from the right component).
class CTModuleState {
public:
    explicit CTModuleState(CTModule *module);
    ~CTModuleState();
    CTModuleState(const CTModuleState &) = delete;
    CTModuleState &operator=(const CTModuleState &) = delete;

private:
    CTModule *m_previous;
};

#define PLINTH_MANAGE_STATE(module) CTModuleState plinthModuleState_(module)

// Loads a string of the current module.
QString LoadResString(unsigned id);
