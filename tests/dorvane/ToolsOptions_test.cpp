#include "fixture.h"

#include "IToolsOptions.h"
#include "ToolsOptions.h"
#include "resource.h"

#include <QPushButton>

using com::registry::keyExists;

namespace {
constexpr HRESULT itf(unsigned code)
{
    return MAKE_HRESULT(1, FACILITY_ITF, code);
}
const std::string kClsidKey = "CLSID\\{EE663967-2E8E-4805-9A12-4C9C58C7C5F9}";
const std::string kTypeLibKey = "TypeLib\\{E73B7441-3945-4913-BBF6-02C0FC45386F}";
} // namespace

TEST_F(OptionsTest, RegistrationWritesEveryKeyAndRemovesThemAgain)
{
    struct Value {
        std::string key, name, value;
    } expected[] = {
        {"KRWI.ToolsOptions.1", "", "ToolsOptions Class"},
        {"KRWI.ToolsOptions.1\\CLSID", "", "{EE663967-2E8E-4805-9A12-4C9C58C7C5F9}"},
        {"KRWI.ToolsOptions", "", "ToolsOptions Class"},
        {"KRWI.ToolsOptions\\CLSID", "", "{EE663967-2E8E-4805-9A12-4C9C58C7C5F9}"},
        {"KRWI.ToolsOptions\\CurVer", "", "KRWI.ToolsOptions.1"},
        {kClsidKey, "", "ToolsOptions Class"},
        {kClsidKey + "\\ProgID", "", "KRWI.ToolsOptions.1"},
        {kClsidKey + "\\VersionIndependentProgID", "", "KRWI.ToolsOptions"},
        {kClsidKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {kClsidKey + "\\TypeLib", "", "{E73B7441-3945-4913-BBF6-02C0FC45386F}"},
        {kTypeLibKey + "\\1.0", "", "KrwToolsOptions 1.0 Type Library"},
        {"Interface\\{5AEFBAB2-3C65-4A53-9D5F-ACC886EC650B}", "", "IToolsOptions"},
    };
    for (const auto &e : expected) {
        std::string v;
        EXPECT_TRUE(com::registry::readString(HKEY_CLASSES_ROOT, e.key, e.name, &v)) << e.key;
        EXPECT_EQ(v, e.value) << e.key;
    }
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, kClsidKey + "\\Programmable"));
    std::string path;
    ASSERT_TRUE(com::registry::readString(HKEY_CLASSES_ROOT, kClsidKey + "\\InprocServer32", "", &path));
    EXPECT_EQ(QFileInfo(QString::fromStdString(path)).canonicalFilePath(),
              QFileInfo(QStringLiteral(DORVANE_PATH)).canonicalFilePath());

    ASSERT_EQ(callExport("DllUnregisterServer"), S_OK);
    for (const std::string &key : {std::string("KRWI.ToolsOptions.1"), std::string("KRWI.ToolsOptions"), kClsidKey,
                                   kTypeLibKey, std::string("Interface\\{5AEFBAB2-3C65-4A53-9D5F-ACC886EC650B}")})
        EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID\\{8BA5A63E-8AF1-11D3-8098-00105A088EDE}"))
        << "other classes stay";
}

TEST_F(OptionsTest, FailingTypeLibraryStepSkipsTheFactories)
{
    ASSERT_EQ(callExport("DllUnregisterServer"), S_OK);
    com::registry::denyWrites(HKEY_CLASSES_ROOT, "TypeLib");
    EXPECT_EQ(callExport("DllRegisterServer"), SELFREG_E_TYPELIB);
    EXPECT_EQ(SELFREG_E_TYPELIB, static_cast<HRESULT>(0x80040200u));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "KRWI.ToolsOptions"));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, kClsidKey));

    com::registry::clearDenials();
    ASSERT_EQ(callExport("DllRegisterServer"), S_OK);
    com::registry::denyWrites(HKEY_CLASSES_ROOT, "TypeLib");
    EXPECT_EQ(callExport("DllUnregisterServer"), SELFREG_E_TYPELIB);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "KRWI.ToolsOptions")) << "class keys stay when the library stays";
}

TEST_F(OptionsTest, ShowWizardThroughDispatchShowsTheSheetAndReturnsOk)
{
    CComPtr<IDispatch> options;
    ASSERT_EQ(create(&options), S_OK);
    UINT count = 0;
    EXPECT_EQ(options->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(options->GetTypeInfo(0, 0, &info), S_OK);
    CComBSTR name, doc;
    info->GetDocumentation(1, &name, &doc, nullptr, nullptr);
    EXPECT_EQ(doc.ansi(), "method ShowWizard");
    CComBSTR wrong("ShowWizzard");
    LPOLESTR names[] = {wrong};
    DISPID id = 0;
    EXPECT_EQ(options->GetIDsOfNames(GUID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);

    QStringList captions;
    const HRESULT hr = showWizard([&](CKRPropertySheetEx *sheet) {
        EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Options"));
        for (int i = 0; i < sheet->GetPageCount(); ++i)
            captions << sheet->GetPage(i)->Caption();
        EXPECT_EQ(sheet->findChild<QPushButton *>(QString::number(ID_APPLY_NOW)), nullptr);
        EXPECT_NE(sheet->findChild<QPushButton *>(QString::number(IDHELP)), nullptr);
        press(sheet, IDCANCEL);
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(captions, (QStringList{"General", "Path Variables", "User Interface", "Preferences", "Directory"}));
    EXPECT_TRUE(writes().empty()) << "Cancel writes nothing";
    EXPECT_EQ(callsStartingWith("OptionSettings.get_HelpOnTop").size(), 1u) << "the first page was read";
}

TEST_F(OptionsTest, PageTableAndItsConditions)
{
    struct Case {
        PageCondition condition;
        VARIANT_BOOL crossmend;
        bool shown;
    } cases[] = {
        {PageCondition::Always, VARIANT_FALSE, true},          {PageCondition::Always, VARIANT_TRUE, true},
        {PageCondition::WithoutCrossmend, VARIANT_FALSE, true}, {PageCondition::WithoutCrossmend, VARIANT_TRUE, false},
        {PageCondition::WithCrossmend, VARIANT_FALSE, false},   {PageCondition::WithCrossmend, VARIANT_TRUE, true},
        {PageCondition::WithCrossmend, 1, true}, // any non-zero boolean is true
    };
    for (const auto &c : cases)
        EXPECT_EQ(PageShown(c.condition, c.crossmend), c.shown) << int(c.condition) << " " << c.crossmend;

    // The pages that exist, in the order of the full table.
    std::vector<unsigned> dialogs;
    for (const auto &row : CToolsOptions::PageTable())
        dialogs.push_back(row.dialogId);
    EXPECT_EQ(dialogs, (std::vector<unsigned>{IDD_GENERAL, IDD_PATH_VARIABLES, IDD_USER_INTERFACE, IDD_PREFERENCES,
                                              IDD_DIRECTORY}));

    for (const char *crossmend : {"0", "-1"}) {
        host->setValue("CrossmendPresent", crossmend);
        int pages = 0;
        showWizard([&](CKRPropertySheetEx *sheet) {
            pages = sheet->GetPageCount();
            press(sheet, IDCANCEL);
        });
        EXPECT_EQ(pages, 5) << crossmend;
        EXPECT_EQ(callsStartingWith("SuiteInfo.get_crossmendPresent").size(), 0u) << "read once, at construction";
    }
}

TEST_F(OptionsTest, ConstructionReadsTheHostInOrderAndFailuresReachTheCaller)
{
    CComPtr<IDispatch> options;
    host->clearCalls();
    ASSERT_EQ(create(&options), S_OK);
    const std::vector<std::string> expected = {"AppSettings.Create", "SuiteInfo.get_crossmendPresent", "ObjMgr.Create",
                                               "ObjMgr.get_pApp", "IdeApplication.GetServices",
                                               "IdeServices.GetShell"};
    EXPECT_EQ(host->calls(), expected);
    options.Release();

    struct Case {
        const char *call;
        HRESULT hr;
    } cases[] = {{"AppSettings.Create", E_ACCESSDENIED},
                 {"SuiteInfo.get_crossmendPresent", itf(2000)},
                 {"IdeServices.GetShell", E_FAIL}};
    for (const auto &c : cases) {
        host->clearFailures();
        host->failOn(c.call, c.hr, "no");
        CComPtr<IDispatch> failed;
        EXPECT_EQ(create(&failed), c.hr) << c.call;
        EXPECT_FALSE(failed);
    }
    host->clearFailures();
    host->setBrokenObjectManager(true);
    CComPtr<IDispatch> failed;
    EXPECT_EQ(create(&failed), E_UNEXPECTED);
    host->setBrokenObjectManager(false);
    EXPECT_EQ(callExport("DllCanUnloadNow"), S_OK) << "failed constructions leave no lock behind";
}

TEST_F(OptionsTest, ObjectSafety)
{
    CComPtr<IDispatch> options;
    ASSERT_EQ(create(&options), S_OK);
    CComPtr<IObjectSafety> safety;
    ASSERT_EQ(options.QueryInterface(IID_IObjectSafety, &safety), S_OK);
    const IID lacking = IID_IClassFactory;
    DWORD supported = 99, enabled = 99;

    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled), E_POINTER);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, nullptr), E_POINTER);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(lacking, &supported, &enabled), E_NOINTERFACE);
    EXPECT_EQ(supported, 0u);
    EXPECT_EQ(enabled, 0u);
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IToolsOptions, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, 3u);
    EXPECT_EQ(enabled, 0u);

    struct Case {
        const IID *iid;
        DWORD mask, options;
        HRESULT hr;
        DWORD enabledAfter;
    } cases[] = {
        {&lacking, 1, 1, E_NOINTERFACE, 0},
        {&IID_IDispatch, 4, 4, E_FAIL, 0},
        {&IID_IDispatch, 7, 7, E_FAIL, 0},
        {&IID_IDispatch, 3, 1, S_OK, 1},
        {&IID_IUnknown, 2, 2, S_OK, 3},
        {&IID_IObjectSafety, 1, 0, S_OK, 2}, // only the masked option changes
    };
    for (const auto &c : cases) {
        EXPECT_EQ(safety->SetInterfaceSafetyOptions(*c.iid, c.mask, c.options), c.hr) << c.mask;
        safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
        EXPECT_EQ(enabled, c.enabledAfter) << c.mask;
    }
}

TEST_F(OptionsTest, OkAfterOpeningOnlyGeneralWritesOnlyGeneralInOrder)
{
    host->setValue("HelpOnTop", "-1");
    host->setValue("EnforceBestPractices", "1"); // any non-zero checks the box
    showWizard([&](CKRPropertySheetEx *sheet) {
        CKRPropertyPageEx *general = sheet->GetActivePage();
        EXPECT_TRUE(qobject_cast<QAbstractButton *>(general->GetDlgItem(IDC_BEST_PRACTICES))->isChecked());
        qobject_cast<QAbstractButton *>(general->GetDlgItem(IDC_AUTO_SETALLUSERS))->click();
        press(sheet, IDOK);
    });
    const std::vector<std::string> reads = {"OptionSettings.get_HelpOnTop", "OptionSettings.get_StopBuildOnError",
                                            "OptionSettings.get_EnforceBestPractices",
                                            "OptionSettings.get_AutoSetAllUsers"};
    EXPECT_EQ(callsStartingWith("OptionSettings.get_"), reads);
    const std::vector<std::string> expected = {
        "OptionSettings.put_HelpOnTop(-1)", "OptionSettings.put_StopBuildOnError(0)",
        "OptionSettings.put_EnforceBestPractices(-1)", "OptionSettings.put_AutoSetAllUsers(-1)"};
    EXPECT_EQ(writes(), expected);
    EXPECT_EQ(host->number("AutoSetAllUsers"), -1);
}

TEST_F(OptionsTest, HostFailureCodesDecideBetweenMessageAndLog)
{
    struct Case {
        unsigned code;
        bool shown;
    } cases[] = {{2000, true}, {2199, true}, {1999, false}, {2200, false}};
    for (const auto &c : cases) {
        QFile::remove(logFile());
        dialogs.asked.clear();
        host->clearFailures();
        host->failOn("OptionSettings.get_StopBuildOnError", itf(c.code), "Settings store is locked");
        int pages = 0;
        const HRESULT hr = showWizard([&](CKRPropertySheetEx *sheet) {
            pages = sheet->GetPageCount();
            press(sheet, IDOK);
        });
        EXPECT_EQ(hr, S_OK) << c.code;
        EXPECT_EQ(pages, 5) << "the page still shows";
        EXPECT_TRUE(callsStartingWith("OptionSettings.get_EnforceBestPractices").empty()) << "reading stopped";
        EXPECT_EQ(writes().size(), 4u) << "OK still writes and closes";
        if (c.shown) {
            ASSERT_EQ(dialogs.messages().size(), 1u) << c.code;
            EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("Settings store is locked"));
            EXPECT_EQ(dialogs.messages()[0].type, plinth::MB_ICONEXCLAMATION);
            EXPECT_FALSE(QFile::exists(logFile())) << c.code;
        } else {
            EXPECT_TRUE(dialogs.messages().empty()) << c.code;
            const QByteArray log = logText();
            EXPECT_TRUE(log.startsWith("General.cpp ")) << log.toStdString();
            EXPECT_TRUE(log.endsWith(": Settings store is locked\n")) << log.toStdString();
        }
    }
}

TEST_F(OptionsTest, FailureWithoutDescriptionUsesTheSystemMessage)
{
    struct Case {
        HRESULT hr;
        const char *logged;
    } cases[] = {{E_ACCESSDENIED, ": Access is denied.\n"}, {itf(0x1234), ": Unknown error\n"}};
    for (const auto &c : cases) {
        QFile::remove(logFile());
        host->clearFailures();
        host->failOn("OptionSettings.put_HelpOnTop", c.hr);
        showWizard([&](CKRPropertySheetEx *sheet) { press(sheet, IDOK); });
        EXPECT_TRUE(logText().endsWith(c.logged)) << logText().toStdString();
        EXPECT_EQ(writes().size(), 1u) << "writing stopped at the failure";
    }
}

TEST_F(OptionsTest, WithoutALogLocationTheErrorIsShown)
{
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\Karrowin");
    host->failOn("OptionSettings.get_HelpOnTop", E_FAIL, "");
    showWizard([&](CKRPropertySheetEx *sheet) { press(sheet, IDCANCEL); });
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("Unspecified error"));
    EXPECT_EQ(dialogs.messages()[0].type, plinth::MB_ICONERROR);
}

TEST_F(OptionsTest, ComponentUnloadsOnceTheObjectIsGone)
{
    {
        CComPtr<IDispatch> options;
        ASSERT_EQ(create(&options), S_OK);
        EXPECT_EQ(callExport("DllCanUnloadNow"), S_FALSE);
    }
    EXPECT_EQ(callExport("DllCanUnloadNow"), S_OK);
}
