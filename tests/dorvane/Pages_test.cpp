#include "fixture.h"

#include "resource.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>

namespace {

QAbstractButton *button(CKRPropertyPageEx *page, int id)
{
    return qobject_cast<QAbstractButton *>(page->GetDlgItem(unsigned(id)));
}

QComboBox *combo(CKRPropertyPageEx *page, int id)
{
    return qobject_cast<QComboBox *>(page->GetDlgItem(unsigned(id)));
}

QStringList entries(QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

} // namespace

TEST_F(OptionsTest, PreferencesSelfRegistrationMethod)
{
    struct Case {
        const char *stored;
        int shown;
        const char *written;
    } cases[] = {{"1", 1, "1"}, {"0", 0, "0"}, {"2", 0, "0"}, {"-5", 0, "0"}};
    for (const auto &c : cases) {
        host->setValue("SelfRegMethod", c.stored);
        host->setValue("UninstallBeforeInstall", "-1");
        showWizard([&](CKRPropertySheetEx *sheet) {
            CKRPropertyPageEx *page = open(sheet, QStringLiteral("Preferences"));
            QComboBox *list = combo(page, IDC_SELFREG_METHOD);
            EXPECT_EQ(entries(list), (QStringList{"Karrowin Self-Registration table (KRSelfReg)",
                                                  "Windows Installer Self-Registration table (SelfReg)"}));
            EXPECT_EQ(list->currentIndex(), c.shown) << c.stored;
            EXPECT_TRUE(button(page, IDC_UNINSTALL_FIRST)->isChecked());
            press(sheet, IDOK);
        });
        const std::vector<std::string> reads = {"OptionSettings.get_SelfRegMethod",
                                                "OptionSettings.get_UninstallBeforeInstall"};
        EXPECT_EQ(callsStartingWith("OptionSettings.get_SelfRegMethod").size(), 1u);
        const auto w = writes();
        // General was shown first (the start page) and writes too; Preferences comes after it.
        ASSERT_EQ(w.size(), 6u);
        EXPECT_EQ(w[4], std::string("OptionSettings.put_SelfRegMethod(") + c.written + ")") << c.stored;
        EXPECT_EQ(w[5], "OptionSettings.put_UninstallBeforeInstall(-1)");
    }
}

TEST_F(OptionsTest, PathVariableModes)
{
    struct Case {
        const char *stored;
        int radio;
        bool box;
        const char *written;
    } cases[] = {
        {"1", IDC_RECOMMEND, false, "1"},   {"2", IDC_RECOMMEND, true, "2"}, {"3", IDC_DONT_RECOMMEND, false, "3"},
        {"4", IDC_ALWAYS_DIALOG, false, "4"}, {"7", IDC_RECOMMEND, false, "1"},
    };
    for (const auto &c : cases) {
        host->setValue("PathVariableMode", c.stored);
        showWizard([&](CKRPropertySheetEx *sheet) {
            CKRPropertyPageEx *page = open(sheet, QStringLiteral("Path Variables"));
            for (int id : {IDC_RECOMMEND, IDC_DONT_RECOMMEND, IDC_ALWAYS_DIALOG})
                EXPECT_EQ(button(page, id)->isChecked(), id == c.radio) << c.stored << " " << id;
            EXPECT_EQ(button(page, IDC_CREATE_PATHVAR)->isChecked(), c.box) << c.stored;
            EXPECT_EQ(button(page, IDC_CREATE_PATHVAR)->isEnabled(), c.radio == IDC_RECOMMEND) << c.stored;
            press(sheet, IDOK);
        });
        EXPECT_EQ(callsStartingWith("OptionSettings.put_PathVariableMode"),
                  std::vector<std::string>{std::string("OptionSettings.put_PathVariableMode(") + c.written + ")"});
    }
}

TEST_F(OptionsTest, PathVariableBoxFollowsTheRadiosAndNoRadioWritesOne)
{
    host->setValue("PathVariableMode", "1");
    showWizard([&](CKRPropertySheetEx *sheet) {
        CKRPropertyPageEx *page = open(sheet, QStringLiteral("Path Variables"));
        button(page, IDC_CREATE_PATHVAR)->click();
        button(page, IDC_DONT_RECOMMEND)->click();
        EXPECT_FALSE(button(page, IDC_CREATE_PATHVAR)->isEnabled());
        button(page, IDC_RECOMMEND)->click();
        EXPECT_TRUE(button(page, IDC_CREATE_PATHVAR)->isEnabled());
        press(sheet, IDOK);
    });
    EXPECT_EQ(callsStartingWith("OptionSettings.put_PathVariableMode"),
              std::vector<std::string>{"OptionSettings.put_PathVariableMode(2)"});

    // The mode could not be read: no radio is on, and OK writes 1.
    host->failOn("OptionSettings.get_PathVariableMode", E_FAIL, "locked");
    showWizard([&](CKRPropertySheetEx *sheet) {
        CKRPropertyPageEx *page = open(sheet, QStringLiteral("Path Variables"));
        EXPECT_FALSE(button(page, IDC_RECOMMEND)->isChecked());
        EXPECT_FALSE(button(page, IDC_CREATE_PATHVAR)->isEnabled());
        press(sheet, IDOK);
    });
    EXPECT_EQ(callsStartingWith("OptionSettings.put_PathVariableMode"),
              std::vector<std::string>{"OptionSettings.put_PathVariableMode(1)"});
}

TEST_F(OptionsTest, DirectoryPageReadsAndWritesInOrder)
{
    host->setValue("ShowInstallDir", "-1");
    host->setValue("CleanUpDirectories", "0");
    showWizard([&](CKRPropertySheetEx *sheet) {
        CKRPropertyPageEx *page = open(sheet, QStringLiteral("Directory"));
        auto *text = qobject_cast<QLabel *>(page->GetDlgItem(IDC_INSTALLDIR_TEXT));
        EXPECT_TRUE(text->text().startsWith(QStringLiteral("This option changes the placement of INSTALLDIR")));
        EXPECT_TRUE(text->text().endsWith(QStringLiteral("relative to other folders in the folder structure.")));
        EXPECT_TRUE(button(page, IDC_SHOW_INSTALLDIR)->isChecked());
        button(page, IDC_CLEANUP_DIRS)->click();
        press(sheet, IDOK);
    });
    EXPECT_EQ(callsStartingWith("OptionSettings.get_ShowInstallDir").size(), 1u);
    const auto w = writes();
    ASSERT_EQ(w.size(), 6u);
    EXPECT_EQ(w[4], "OptionSettings.put_ShowInstallDir(-1)");
    EXPECT_EQ(w[5], "OptionSettings.put_CleanUpDirectories(-1)");
}

class UserInterfacePage : public OptionsTest {
protected:
    void SetUp() override
    {
        OptionsTest::SetUp();
        for (const char *f : {"pelmor.nav", "sorrel.nav", "ambry.nav", "fennick.nav", "tolwen.nav", "BRASK.NAV",
                              "cindel.nav"})
            writeNav(f, QByteArray("[General]\nNavDesc=Style of ") + f + "\n");
        writeNav("custom.nav", "; mine\n[Other]\nNavDesc=wrong\n[general]\nnavdesc = \"Custom layout\"\n");
        QDir(programFolder()).mkdir("folder.nav");
        writeNav("notes.txt");
    }

    // Opens the page and returns its entries and selection; ends with OK.
    std::pair<QStringList, QString> openAndConfirm(std::function<void(CKRPropertyPageEx *)> act = {})
    {
        QStringList list;
        QString selected;
        showWizard([&](CKRPropertySheetEx *sheet) {
            CKRPropertyPageEx *page = open(sheet, QStringLiteral("User Interface"));
            list = entries(combo(page, IDC_NAV_LIST));
            selected = combo(page, IDC_NAV_LIST)->currentText();
            if (act)
                act(page);
            press(sheet, IDOK);
        });
        return {list, selected};
    }

    std::vector<std::string> navWrites() const { return callsStartingWith("AppSettings.put_NavFile"); }
};

TEST_F(UserInterfacePage, StylesListedByTheTableWithoutCrossmend)
{
    host->setValue("NavFile", "sorrel.nav");
    const auto [list, selected] = openAndConfirm([](CKRPropertyPageEx *page) {
        EXPECT_EQ(qobject_cast<QLabel *>(page->GetDlgItem(IDC_NAV_DESCRIPTION))->text(),
                  QStringLiteral("Style of sorrel.nav"));
    });
    EXPECT_EQ(list, (QStringList{"Ambryn", "custom.nav", "Pelmor", "Sorrelby"}));
    EXPECT_EQ(selected, QStringLiteral("Sorrelby"));
    EXPECT_EQ(navWrites(), std::vector<std::string>{"AppSettings.put_NavFile(\"sorrel.nav\")"});
    EXPECT_TRUE(callsStartingWith("SuiteInfo.GetSuiteNavFile").empty());
}

TEST_F(UserInterfacePage, SuiteStyleAppearsWithCrossmend)
{
    host->setValue("CrossmendPresent", "-1");
    host->setValue("SuiteNavFile", "fennick.nav");
    host->setValue("NavFile", "FENNICK.NAV");
    const auto [list, selected] = openAndConfirm();
    EXPECT_EQ(list, (QStringList{"Ambryn", "custom.nav", "Fennick", "Pelmor", "Sorrelby"}));
    EXPECT_EQ(selected, QStringLiteral("Fennick"));
    EXPECT_EQ(navWrites(), std::vector<std::string>{"AppSettings.put_NavFile(\"fennick.nav\")"});
}

TEST_F(UserInterfacePage, SuiteFileWithoutCrossmendShowsPelmorAndWritesIt)
{
    host->setValue("NavFile", "fennick.nav");
    const auto [list, selected] = openAndConfirm();
    EXPECT_EQ(selected, QStringLiteral("Pelmor"));
    EXPECT_EQ(navWrites(), std::vector<std::string>{"AppSettings.put_NavFile(\"pelmor.nav\")"});
}

TEST_F(UserInterfacePage, CustomFileKeepsItsNameAndDescription)
{
    host->setValue("NavFile", "custom.nav");
    const auto [list, selected] = openAndConfirm([](CKRPropertyPageEx *page) {
        EXPECT_EQ(qobject_cast<QLabel *>(page->GetDlgItem(IDC_NAV_DESCRIPTION))->text(),
                  QStringLiteral("Custom layout"));
        QComboBox *c = combo(page, IDC_NAV_LIST);
        c->setCurrentIndex(c->findText(QStringLiteral("Ambryn")));
        emit c->activated(c->currentIndex());
        EXPECT_EQ(qobject_cast<QLabel *>(page->GetDlgItem(IDC_NAV_DESCRIPTION))->text(),
                  QStringLiteral("Style of ambry.nav"));
        c->setCurrentIndex(c->findText(QStringLiteral("custom.nav")));
        emit c->activated(c->currentIndex());
    });
    EXPECT_EQ(selected, QStringLiteral("custom.nav"));
    EXPECT_EQ(navWrites(), std::vector<std::string>{"AppSettings.put_NavFile(\"custom.nav\")"});
}

TEST_F(UserInterfacePage, CheckBoxesAndTheirInvertedValue)
{
    host->setValue("PromptNewComponents", "0");
    host->setValue("ConfirmComponentDeletion", "0");
    openAndConfirm([](CKRPropertyPageEx *page) {
        EXPECT_TRUE(button(page, IDC_ALWAYS_CREATE)->isChecked());
        EXPECT_FALSE(button(page, IDC_CONFIRM_DELETION)->isChecked());
        button(page, IDC_ALWAYS_CREATE)->click();
        button(page, IDC_CONFIRM_DELETION)->click();
    });
    const auto w = writes();
    ASSERT_EQ(w.size(), 7u);
    EXPECT_EQ(w[4], "OptionSettings.put_PromptNewComponents(-1)");
    EXPECT_EQ(w[5], "OptionSettings.put_ConfirmComponentDeletion(-1)");
}

TEST_F(UserInterfacePage, OpenProjectHidesTheStylesAndNeverWritesThem)
{
    host->setOpenProject(QStringLiteral("/projects/shop/setup.ism"));
    openAndConfirm([](CKRPropertyPageEx *page) {
        for (int id : {IDC_VIEW_HEADING, IDC_VIEW_LINE, IDC_VIEW_TEXT, IDC_VIEW_ICON, IDC_VIEW_LABEL, IDC_VIEW_GROUP,
                       IDC_NAV_LIST, IDC_NAV_DESCRIPTION})
            EXPECT_TRUE(page->GetDlgItem(unsigned(id))->isHidden()) << id;
        EXPECT_FALSE(button(page, IDC_ALWAYS_CREATE)->isHidden());
    });
    EXPECT_TRUE(callsStartingWith("AppSettings.GetProgramFolder").empty());
    EXPECT_TRUE(navWrites().empty());
    EXPECT_EQ(callsStartingWith("OptionSettings.put_").size(), 6u);
}

TEST_F(UserInterfacePage, UnlistableStylesLeaveTheStoredOneAlone)
{
    host->setValue("NavFile", "sorrel.nav");
    host->failOn("AppSettings.GetProgramFolder", E_FAIL, "folder gone");
    openAndConfirm();
    EXPECT_TRUE(navWrites().empty());
    EXPECT_EQ(host->text("NavFile"), QStringLiteral("sorrel.nav"));
}
