// The COM object of the component and its property sheet, in one.
#pragma once

#include "IToolsOptions.h"
#include "OptionsPage.h"
#include "resource.h"

#include "hostide/ide.h"
#include "plinth/module.h"

#include "com/typelib.h"
#include "com/util.h"

#include <vector>

class CToolsOptions;

// Which pages the sheet shows, in order, and when. Each page built gets
// its row here, in its place among the others.
enum class PageCondition { Always, WithoutCrossmend, WithCrossmend };

struct PageRow {
    const char *name;
    unsigned dialogId;
    PageCondition condition;
    CKRPropertyPageEx *(*page)(CToolsOptions &sheet);
};

inline bool PageShown(PageCondition condition, VARIANT_BOOL crossmendPresent)
{
    switch (condition) {
    case PageCondition::WithoutCrossmend: return crossmendPresent == VARIANT_FALSE;
    case PageCondition::WithCrossmend: return crossmendPresent != VARIANT_FALSE;
    case PageCondition::Always: break;
    }
    return true;
}

class CToolsOptions : public CKRPropertySheetEx {
    DECLARE_DYNCREATE(CToolsOptions)
public:
    CToolsOptions();
    ~CToolsOptions() override;

    HRESULT ShowWizard();
    // The chosen file, or "" when none was chosen.
    QString BrowseForFile(unsigned stringId, const QString &pattern, const QString &currentPath);
    static const std::vector<PageRow> &PageTable();

    // The host, held with one reference each. Declared in the reverse of
    // their release order.
    CComPtr<IAppSettings> m_appSettings;
    CComPtr<IExtraSettings> m_extraSettings;
    CComPtr<ISuiteInfo> m_suiteInfo;
    CComPtr<IOptionSettings> m_optionSettings;
    CComPtr<IIdeShell> m_ideShell;
    CComPtr<IIdeServices> m_ideServices;
    VARIANT_BOOL m_crossmendPresent = VARIANT_FALSE;
    DWORD m_safetyOptions = 0;

    CGeneral m_general;
    CPathVariables m_pathVariables;
    CInterface m_interface;
    CPreferences m_preferences;
    CDirectory m_directory;

protected:
    IUnknown *GetInterface(REFIID riid) override;

private:
    void ConnectToHost();

    class XToolsOptions : public CInterfacePart<com::IDispatchImpl<IToolsOptions>> {
    public:
        XToolsOptions(CToolsOptions *outer);
        HRESULT ShowWizard() override;
    } m_xToolsOptions;

    class XObjectSafety : public CInterfacePart<IObjectSafety> {
    public:
        using CInterfacePart::CInterfacePart;
        HRESULT GetInterfaceSafetyOptions(REFIID riid, DWORD *supported, DWORD *enabled) override;
        HRESULT SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD options) override;
    } m_xObjectSafety;

    // Keeps the module loaded while the object lives (released first on
    // destruction, and also when construction fails).
    class AppLock {
    public:
        AppLock();
        ~AppLock() { Release(); }
        void Release();

    private:
        CTModule *m_module;
    } m_appLock;
};

// The component's module and the type information of IToolsOptions.
CTModule &DorvaneModule();
com::CComTypeInfoHolder &ToolsOptionsTypeInfo();

inline const std::vector<PageRow> &CToolsOptions::PageTable()
{
    using Sheet = CToolsOptions;
    static const std::vector<PageRow> table = {
        {"General", IDD_GENERAL, PageCondition::Always, [](Sheet &s) -> CKRPropertyPageEx * { return &s.m_general; }},
        {"Path Variables", IDD_PATH_VARIABLES, PageCondition::Always,
         [](Sheet &s) -> CKRPropertyPageEx * { return &s.m_pathVariables; }},
        {"User Interface", IDD_USER_INTERFACE, PageCondition::Always, [](Sheet &s) -> CKRPropertyPageEx * { return &s.m_interface; }},
        {"Preferences", IDD_PREFERENCES, PageCondition::Always, [](Sheet &s) -> CKRPropertyPageEx * { return &s.m_preferences; }},
        {"Directory", IDD_DIRECTORY, PageCondition::Always, [](Sheet &s) -> CKRPropertyPageEx * { return &s.m_directory; }},
    };
    return table;
}
