#include "hostide/host.h"
#include "hostide/ide.h"

#include "com/support.h"
#include "com/tempregistry.h"
#include "com/util.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class HostObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<hostide::Host>(dir.filePath("ide.ini"));
        ASSERT_EQ(host->registerObjects("/opt/hostide"), S_OK);
    }
    CComPtr<IAppSettings> settings()
    {
        CComPtr<IAppSettings> s;
        EXPECT_EQ(CoCreateInstance(CLSID_AppSettings, nullptr, CLSCTX_ALL, IID_IAppSettings,
                                   reinterpret_cast<void **>(&s)),
                  S_OK);
        return s;
    }
    TempRegistry registry;
    QTemporaryDir dir;
    std::unique_ptr<hostide::Host> host;
};

} // namespace

TEST_F(HostObjects, ValuesPersistInTheSettingsFileAndCallsAreRecordedInOrder)
{
    CComPtr<IAppSettings> app = settings();
    CComPtr<IOptionSettings> options;
    ASSERT_EQ(app.QueryInterface(IID_IOptionSettings, &options), S_OK);
    ASSERT_EQ(options->put_HelpOnTop(VARIANT_TRUE), S_OK);
    ASSERT_EQ(app->put_NavFile(CComBSTR("custom.nav")), S_OK);
    std::int32_t mode = 0;
    ASSERT_EQ(options->get_PathVariableMode(&mode), S_OK);
    EXPECT_EQ(mode, 1) << "a fresh IDE's default";
    const std::vector<std::string> expected = {"AppSettings.Create", "OptionSettings.put_HelpOnTop(-1)",
                                               "AppSettings.put_NavFile(\"custom.nav\")",
                                               "OptionSettings.get_PathVariableMode"};
    EXPECT_EQ(host->calls(), expected);

    hostide::Host again(dir.filePath("ide.ini"));
    EXPECT_EQ(again.number("HelpOnTop"), -1);
    EXPECT_EQ(again.text("NavFile"), QStringLiteral("custom.nav"));
}

TEST_F(HostObjects, ChosenCallFailsWithItsCodeAndDescription)
{
    CComPtr<IAppSettings> app = settings();
    CComPtr<ISuiteInfo> suite;
    ASSERT_EQ(app.QueryInterface(IID_ISuiteInfo, &suite), S_OK);
    host->failOn("SuiteInfo.GetSuiteNavFile", MAKE_HRESULT(1, FACILITY_ITF, 2001), "No suite");
    BSTR file = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(suite->GetSuiteNavFile(&file), MAKE_HRESULT(1, FACILITY_ITF, 2001));
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(com::takeErrorDescription(suite, IID_ISuiteInfo), "No suite");
    EXPECT_EQ(host->calls().back(), "SuiteInfo.GetSuiteNavFile") << "a failed call is still recorded";

    host->failFromText(QStringLiteral("OptionSettings.get_HelpOnTop=0x80004005;Bad entry;AppSettings.Create=0x80070005:denied"));
    CComPtr<IOptionSettings> options;
    app.QueryInterface(IID_IOptionSettings, &options);
    VARIANT_BOOL v;
    EXPECT_EQ(options->get_HelpOnTop(&v), E_FAIL);
    EXPECT_EQ(com::takeErrorDescription(options, IID_IOptionSettings), "") << "no description given";
    void *p = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_AppSettings, nullptr, CLSCTX_ALL, IID_IAppSettings, &p), E_ACCESSDENIED);
}

TEST_F(HostObjects, ObjectManagerLeadsToApplicationServicesAndShell)
{
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(CComBSTR("KRObjMgr.ObjMgr2.1"), &clsid), S_OK);
    CComPtr<IDispatch> mgr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void **>(&mgr)), S_OK);
    CComBSTR name("papp");
    LPOLESTR names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(mgr->GetIDsOfNames(GUID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    CComVariant app;
    ASSERT_EQ(mgr->Invoke(id, GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, &app, nullptr, nullptr), S_OK);
    ASSERT_EQ(app.vt, VT_UNKNOWN);
    CComPtr<IIdeApplication> application;
    ASSERT_EQ(app.punkVal->QueryInterface(IID_IIdeApplication, reinterpret_cast<void **>(&application)), S_OK);
    CComPtr<IIdeServices> services;
    ASSERT_EQ(application->GetServices(&services), S_OK);
    CComPtr<IIdeShell> shell;
    ASSERT_EQ(services->GetShell(&shell), S_OK);

    QString status;
    host->onStatusText = [&](const QString &pane, const QString &text) { status = pane + ":" + text; };
    EXPECT_EQ(shell->SetStatusText(CComBSTR("Main"), CComBSTR("Converting Package")), S_OK);
    EXPECT_EQ(status, QStringLiteral("Main:Converting Package"));

    CComPtr<IUnknown> project;
    ASSERT_EQ(shell->GetOpenProject(&project), S_OK);
    EXPECT_FALSE(project);
    host->setOpenProject(QStringLiteral("/p/setup.ism"));
    ASSERT_EQ(shell->GetOpenProject(&project), S_OK);
    EXPECT_TRUE(project);

    VARIANT_BOOL ok = 0;
    services->IsValidPath(CComBSTR("relative/path"), &ok);
    EXPECT_EQ(ok, VARIANT_FALSE);
    services->CreateFolder(CComBSTR(dir.filePath("a/b").toStdString()), &ok);
    EXPECT_EQ(ok, VARIANT_TRUE);

    host->setBrokenObjectManager(true);
    CComVariant broken;
    ASSERT_EQ(mgr->Invoke(id, GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, &broken, nullptr, nullptr), S_OK);
    EXPECT_NE(broken.vt, VT_UNKNOWN);
}

TEST_F(HostObjects, RevokedObjectsCannotBeCreated)
{
    host->revoke();
    void *p = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_AppSettings, nullptr, CLSCTX_ALL, IID_IAppSettings, &p), REGDB_E_CLASSNOTREG);
}
