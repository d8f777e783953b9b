// The IDE's settings, application, services and shell interfaces, as the
// components see them. Operations appear in interface order; a value read
// and written is a get_/put_ pair (put_ first where the IDE has it so).
#pragma once

#include "com/types.h"

constexpr CLSID CLSID_AppSettings = com::guid("{8BA5A63E-8AF1-11D3-8098-00105A088EDE}");
constexpr CLSID CLSID_ObjMgr = com::guid("{3C1F2A80-5B6D-4E21-9C3A-7D2E4B1A0C55}");
constexpr IID IID_IAppSettings = com::guid("{6165C0C6-8AE4-11D3-8098-00105A088EDE}");
constexpr IID IID_IExtraSettings = com::guid("{283E9D87-5E97-11D5-84D3-00B0D023B209}");
constexpr IID IID_IOptionSettings = com::guid("{8BA5A63D-8AF1-11D3-8098-00105A088EDE}");
constexpr IID IID_ISuiteInfo = com::guid("{D9042D94-547B-4BF3-AC2B-501CC8C27C9A}");
constexpr IID IID_IIdeApplication = com::guid("{B4E971A1-66F5-11D3-A889-00C04F475528}");
constexpr IID IID_IIdeServices = com::guid("{B4E971A2-66F5-11D3-A889-00C04F475528}");
constexpr IID IID_IIdeShell = com::guid("{B4E971A3-66F5-11D3-A889-00C04F475528}");

#define KR_PROP(type, name)                                                                                      \
    virtual HRESULT get_##name(type *value) = 0;                                                                 \
    virtual HRESULT put_##name(type value) = 0;
#define KR_PROP_WRITE_FIRST(type, name)                                                                          \
    virtual HRESULT put_##name(type value) = 0;                                                                  \
    virtual HRESULT get_##name(type *value) = 0;

struct IOptionSettings : IUnknown {
    KR_PROP(VARIANT_BOOL, EnforceBestPractices)
    KR_PROP(VARIANT_BOOL, HelpOnTop)
    KR_PROP(BSTR, ProjectLocation)
    KR_PROP(std::int32_t, PathVariableMode)
    KR_PROP(BSTR, MsmLocations)
    KR_PROP_WRITE_FIRST(VARIANT_BOOL, PromptNewComponents)
    KR_PROP_WRITE_FIRST(VARIANT_BOOL, ConfirmComponentDeletion)
    KR_PROP_WRITE_FIRST(VARIANT_BOOL, StopBuildOnError)
    KR_PROP_WRITE_FIRST(VARIANT_BOOL, AutoSetAllUsers)
    KR_PROP(VARIANT_BOOL, MsmSameVersion)
    KR_PROP(VARIANT_BOOL, MsmSameDestination)
    KR_PROP(VARIANT_BOOL, SccUseDialog)
    KR_PROP(VARIANT_BOOL, SccGetLatest)
    KR_PROP(VARIANT_BOOL, SccCheckOutOnEdit)
    KR_PROP(VARIANT_BOOL, SccAddNewProjects)
    KR_PROP(BSTR, SccUserName)
    KR_PROP(VARIANT_BOOL, ShowInstallDir)
    KR_PROP(VARIANT_BOOL, CleanUpDirectories)
    KR_PROP(BSTR, ResourceCompilerPath)
    KR_PROP(BSTR, ResourceCompilerOptions)
    KR_PROP(BSTR, ResourceLinkerPath)
    KR_PROP(BSTR, ResourceLinkerOptions)
    KR_PROP(std::int32_t, DotNetScanAtBuild)
    KR_PROP_WRITE_FIRST(VARIANT_BOOL, PatchUpgradeValidation)
    KR_PROP_WRITE_FIRST(BSTR, DialogsLocation)
    virtual HRESULT get_ValidationModules(IUnknown **collection) = 0;
    KR_PROP_WRITE_FIRST(BSTR, PackageValidationCub)
    KR_PROP_WRITE_FIRST(BSTR, MsmValidationCub)
    KR_PROP(std::int32_t, SelfRegMethod)
    KR_PROP(VARIANT_BOOL, UninstallBeforeInstall)

protected:
    ~IOptionSettings() = default;
};

struct IAppSettings : IUnknown {
    virtual HRESULT GetProgramFolder(BSTR *folder) = 0;
    virtual HRESULT GetUpdateKey(BSTR *key) = 0;
    virtual HRESULT GetValidationFolder(BSTR *folder) = 0;
    virtual HRESULT GetTemplateFolder(BSTR *folder) = 0;
    KR_PROP_WRITE_FIRST(BSTR, MsmLocationsAllUsers)
    KR_PROP_WRITE_FIRST(BSTR, NavFile)

protected:
    ~IAppSettings() = default;
};

struct IExtraSettings : IUnknown {
    KR_PROP(BSTR, ContentUpdateDate)
    KR_PROP(VARIANT_BOOL, UpdatesEnabled)
    KR_PROP(BSTR, RegasmPath)
    KR_PROP(BSTR, InstallUtilLibPath)

protected:
    ~IExtraSettings() = default;
};

struct ISuiteInfo : IUnknown {
    virtual HRESULT get_crossmendPresent(VARIANT_BOOL *present) = 0;
    virtual HRESULT GetSuiteNavFile(BSTR *file) = 0;

protected:
    ~ISuiteInfo() = default;
};

#undef KR_PROP
#undef KR_PROP_WRITE_FIRST

struct IIdeShell : IUnknown {
    virtual HRESULT ShellOutput(BSTR text, VARIANT extra, std::int32_t kind) = 0;
    virtual HRESULT ShellPrepare(std::int32_t kind) = 0;
    virtual HRESULT SetStatusText(BSTR pane, BSTR text) = 0;
    virtual HRESULT SetProgressMax(std::int32_t count) = 0;
    virtual HRESULT SetProgressPos(std::int32_t position) = 0;
    virtual HRESULT ShellFinish(std::int32_t kind) = 0;
    virtual HRESULT ExecuteCommand(BSTR name, VARIANT_BOOL *flag1, VARIANT_BOOL *flag2, VARIANT_BOOL *flag3,
                                   BSTR *text, VARIANT_BOOL *result) = 0;
    virtual HRESULT GetSourceControl(IUnknown **provider) = 0;
    // Null when no project is open.
    virtual HRESULT GetOpenProject(IUnknown **project) = 0;

protected:
    ~IIdeShell() = default;
};

struct IIdeServices : IUnknown {
    virtual HRESULT OpenProject(BSTR path, std::int32_t flag1, std::int32_t flag2, VARIANT *result) = 0;
    virtual HRESULT ApplyProjectFolder(BSTR path) = 0;
    virtual HRESULT CreateFolder(BSTR path, VARIANT_BOOL *created) = 0;
    virtual HRESULT IsValidPath(BSTR path, VARIANT_BOOL *valid) = 0;
    virtual HRESULT GetShell(IIdeShell **shell) = 0;

protected:
    ~IIdeServices() = default;
};

struct IIdeApplication : IUnknown {
    virtual HRESULT GetServices(IIdeServices **services) = 0;

protected:
    ~IIdeApplication() = default;
};
