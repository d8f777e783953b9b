// The module of the options component, its resources and its exports.
#include "ComException.h"
#include "IToolsOptions.h"
#include "ToolsOptions.h"
#include "resource.h"

#include "plinth/dlgbuild.h"
#include "plinth/factory.h"
#include "plinth/module.h"

#include "com/support.h"
#include "com/typelib.h"
#include "com/util.h"

#include <QFileInfo>

#define DORVANE_EXPORT extern "C" __attribute__((visibility("default")))

void BuildGeneral(QWidget *page);
void BuildPreferences(QWidget *page);
void BuildInterface(QWidget *page);
void BuildDirectory(QWidget *page);
void BuildPathVariables(QWidget *page);

namespace {

const char kToolsOptionsScript[] = R"(
HKCR
{
    KRWI.ToolsOptions.1 = s 'ToolsOptions Class'
    {
        CLSID = s '{EE663967-2E8E-4805-9A12-4C9C58C7C5F9}'
    }
    KRWI.ToolsOptions = s 'ToolsOptions Class'
    {
        CLSID = s '{EE663967-2E8E-4805-9A12-4C9C58C7C5F9}'
        CurVer = s 'KRWI.ToolsOptions.1'
    }
    NoRemove CLSID
    {
        ForceRemove {EE663967-2E8E-4805-9A12-4C9C58C7C5F9} = s 'ToolsOptions Class'
        {
            ProgID = s 'KRWI.ToolsOptions.1'
            VersionIndependentProgID = s 'KRWI.ToolsOptions'
            Programmable
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
            'TypeLib' = s '{E73B7441-3945-4913-BBF6-02C0FC45386F}'
        }
    }
}
)";

const com::FuncDesc kToolsOptionsFuncs[] = {
    {"ShowWizard", 1, DISPATCH_METHOD, VT_EMPTY, "method ShowWizard", com::thunk<&IToolsOptions::ShowWizard>, 0, {}},
};
const com::InterfaceDesc kInterfaces[] = {
    {&IID_IToolsOptions, "IToolsOptions", "IToolsOptions Interface",
     com::TYPEFLAG_FDUAL | com::TYPEFLAG_FOLEAUTOMATION | com::TYPEFLAG_FDISPATCHABLE, kToolsOptionsFuncs, 1},
};
const com::CoClassDesc kCoClasses[] = {{&CLSID_ToolsOptions, "ToolsOptions", "ToolsOptions Class", &IID_IToolsOptions}};
const com::TypeLibDesc kTypeLib = {&LIBID_KRToolsOptionsLib, "KRToolsOptionsLib", "KrwToolsOptions 1.0 Type Library",
                                   1, 0, 1033, kInterfaces, 1, kCoClasses, 1};

class CDorvaneModule : public CTMfcModule {
public:
    CDorvaneModule()
    {
        SetAppName(QStringLiteral("Options"));
        m_resources.strings = {
            {IDS_OPTIONS, "Options"},
            {IDS_INSTALLDIR_1, "This option changes the placement of INSTALLDIR in the folder structure of setup "
                               "projects. When it is checked, INSTALLDIR appears at the root level as a Predefined "
                               "folder. "},
            {IDS_INSTALLDIR_2, "When it is not checked, INSTALLDIR appears in its position relative to other folders "
                               "in the folder structure."},
            {IDS_CLEANUP_1, "This option removes any unused user defined directories automatically. "},
            {IDS_CLEANUP_2, "For example, if the destination of a component is {MYDIR1} [INSTALLDIR]MYDIR1 and you "
                            "change it to [INSTALLDIR], MYDIR1 is removed from the project when nothing else uses "
                            "it."},
            {IDS_SELFREG_KR, "Karrowin Self-Registration table (KRSelfReg)"},
            {IDS_SELFREG_MSI, "Windows Installer Self-Registration table (SelfReg)"},
        };
        m_resources.dialogs = {
            {IDD_GENERAL, {"General", &BuildGeneral}},
            {IDD_PREFERENCES, {"Preferences", &BuildPreferences}},
            {IDD_USER_INTERFACE, {"User Interface", &BuildInterface}},
            {IDD_DIRECTORY, {"Directory", &BuildDirectory}},
            {IDD_PATH_VARIABLES, {"Path Variables", &BuildPathVariables}},
        };
        m_resources.registryScripts = {{IDR_TOOLSOPTIONS, kToolsOptionsScript}};
    }

    BOOL InitInstance() override
    {
        SetModuleAddress(reinterpret_cast<const void *>(&kTypeLib));
        EnableControlContainer();
        new CKROleObjectFactory(CLSID_ToolsOptions, RUNTIME_CLASS(CToolsOptions), IDR_TOOLSOPTIONS);
        return CTMfcModule::InitInstance();
    }
};

CDorvaneModule theModule;
com::CComTypeInfoHolder theToolsOptionsTypeInfo(&LIBID_KRToolsOptionsLib, &IID_IToolsOptions, 1, 0,
                                                &theModule.TermFuncs());

} // namespace

CTModule &DorvaneModule()
{
    return theModule;
}

com::CComTypeInfoHolder &ToolsOptionsTypeInfo()
{
    return theToolsOptionsTypeInfo;
}

DORVANE_EXPORT const com::TypeLibDesc *ComTypeLibResource()
{
    return &kTypeLib;
}

DORVANE_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void **ppv)
{
    PLINTH_MANAGE_STATE(&theModule);
    theModule.EnsureInitialized();
    return theModule.OnGetClassObject(clsid, riid, ppv);
}

DORVANE_EXPORT HRESULT DllCanUnloadNow()
{
    PLINTH_MANAGE_STATE(&theModule);
    return theModule.OnCanUnloadNow();
}

DORVANE_EXPORT HRESULT DllRegisterServer()
{
    PLINTH_MANAGE_STATE(&theModule);
    theModule.EnsureInitialized();
    CComPtr<ITypeLib> lib;
    HRESULT hr = com::CreateTypeLib(&kTypeLib, &lib);
    if (SUCCEEDED(hr)) {
        const std::string path = theModule.ModulePath();
        const std::string helpDir = QFileInfo(QString::fromStdString(path)).absolutePath().toStdString();
        hr = RegisterTypeLib(lib, path.c_str(), helpDir.c_str());
    }
    if (FAILED(hr))
        return SELFREG_E_TYPELIB;
    return FAILED(theModule.OnRegisterServer(true)) ? SELFREG_E_CLASS : S_OK;
}

DORVANE_EXPORT HRESULT DllUnregisterServer()
{
    PLINTH_MANAGE_STATE(&theModule);
    theModule.EnsureInitialized();
    if (FAILED(UnRegisterTypeLib(LIBID_KRToolsOptionsLib, 1, 0, 1033, SYS_WIN64)))
        return SELFREG_E_TYPELIB;
    return FAILED(theModule.OnRegisterServer(false)) ? SELFREG_E_CLASS : S_OK;
}
