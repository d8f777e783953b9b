#include "plinth/dlgbuild.h"
#include "plinth/module.h"
#include "plinth/propsheet.h"

#include "fakedialogs.h"
#include "modal.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> g_log;

void buildA(QWidget *page)
{
    auto *v = new QVBoxLayout(page);
    plinth::dlg::checkBox(v, 202, QStringLiteral("&Help window on top"));
    plinth::dlg::label(v, plinth::dlg::kNoId, QStringLiteral("Build && Run"));
}

void buildB(QWidget *page)
{
    auto *v = new QVBoxLayout(page);
    plinth::dlg::checkBox(v, 300, QStringLiteral("B"));
}

class TestModule : public CTModule {
public:
    TestModule()
    {
        m_resources.strings = {{1, "Options"}, {5, "Second"}, {6, "Header title"}};
        m_resources.dialogs = {{101, {"First", &buildA}}, {102, {"Ignored caption", &buildB}}};
    }
};

class Page : public CKRPropertyPageEx {
public:
    Page(const char *name, unsigned dialog, unsigned caption = 0, unsigned title = 0)
        : CKRPropertyPageEx(dialog, caption, title), m_name(name)
    {
    }
    BOOL OnInitDialog() override
    {
        CKRPropertyPageEx::OnInitDialog();
        log("init");
        EXPECT_NE(GetParentSheet(), nullptr);
        return TRUE;
    }
    BOOL OnSetActive() override { return log("set"), CKRPropertyPageEx::OnSetActive(); }
    BOOL OnKillActive() override
    {
        log("kill");
        return refuseLeave ? FALSE : CKRPropertyPageEx::OnKillActive();
    }
    void OnOK() override { log("ok"); }
    void OnCancel() override { log("cancel"); }
    BOOL OnCommand(unsigned id, int code) override
    {
        log("cmd " + std::to_string(id) + "/" + std::to_string(code));
        return TRUE;
    }
    BOOL OnWizardFinish() override { return log("finish"), TRUE; }
    QString GetHelpTopic() const override { return QStringLiteral("IDlgOptions.htm"); }
    bool refuseLeave = false;

private:
    void log(const std::string &what) { g_log.push_back(m_name + " " + what); }
    std::string m_name;
};

class Sheet : public CKRPropertySheetEx {
public:
    Sheet() : CKRPropertySheetEx(1) { m_dwFlags |= PSH_NOAPPLYNOW; }
    void OnFinalRelease() override {}
};

class PropertySheet : public ::testing::Test {
protected:
    PropertySheet() : state(&module) { g_log.clear(); }
    TestModule module;
    CTModuleState state;
    FakeDialogs dialogs;
};

QPushButton *button(QWidget *sheet, int id)
{
    return sheet->findChild<QPushButton *>(QString::number(id));
}

} // namespace

TEST_F(PropertySheet, PagesInAddOrderAndOkReachesOnlyShownPages)
{
    Sheet sheet;
    Page a("A", 101), b("B", 102, 5), c("C", 102);
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.AddPage(&c);
    sheet.AddPage(&a); // no duplicates
    EXPECT_EQ(sheet.GetPageCount(), 3);
    EXPECT_EQ(a.GetHWND(), nullptr) << "no window before the sheet shows";

    const int result = runModal([&] { return sheet.DoModal(); }, [&](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Options"));
        auto *tabs = w->findChild<QTabBar *>();
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(tabs->count(), 3);
        EXPECT_EQ(tabs->tabText(0), QStringLiteral("First"));
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("Second"));
        EXPECT_EQ(button(w, ID_APPLY_NOW), nullptr);
        ASSERT_NE(button(w, IDHELP), nullptr);
        EXPECT_NE(a.GetDlgItem(202), nullptr);
        tabs->setCurrentIndex(2);
        tabs->setCurrentIndex(0);
        button(w, IDOK)->click();
    });
    EXPECT_EQ(result, IDOK);
    const std::vector<std::string> expected = {"A init", "A set", "A kill", "C init", "C set",
                                               "C kill", "A set", "A kill", "A ok", "C ok"};
    EXPECT_EQ(g_log, expected);
    EXPECT_FALSE(a.IsCreated()) << "the windows go with the dialog";
}

TEST_F(PropertySheet, CancelWritesNothingAndRefusedLeaveKeepsThePage)
{
    Sheet sheet;
    Page a("A", 101), b("B", 102);
    a.refuseLeave = true;
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    const int result = runModal([&] { return sheet.DoModal(); }, [&](QWidget *w) {
        auto *tabs = w->findChild<QTabBar *>();
        tabs->setCurrentIndex(1);
        EXPECT_EQ(tabs->currentIndex(), 0);
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        button(w, IDOK)->click(); // refused too: stays open
        EXPECT_TRUE(w->isVisible());
        button(w, IDCANCEL)->click();
    });
    EXPECT_EQ(result, IDCANCEL);
    const std::vector<std::string> expected = {"A init", "A set", "A kill", "A kill", "A cancel"};
    EXPECT_EQ(g_log, expected);
}

TEST_F(PropertySheet, ControlsReportCommandsAndHelpOpensTheTopic)
{
    Sheet sheet;
    Page a("A", 101);
    sheet.AddPage(&a);
    runModal([&] { return sheet.DoModal(); }, [&](QWidget *w) {
        auto *box = qobject_cast<QCheckBox *>(a.GetDlgItem(202));
        ASSERT_NE(box, nullptr);
        box->click();
        auto *label = w->findChild<QLabel *>();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QStringLiteral("Build & Run"));
        button(w, IDHELP)->click();
        button(w, IDCANCEL)->click();
    });
    EXPECT_EQ(g_log[2], "A cmd 202/0");
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("IDlgOptions.htm"));
}

TEST_F(PropertySheet, ShownAgainAfterClosingStartsFresh)
{
    Sheet sheet;
    Page a("A", 101);
    sheet.AddPage(&a);
    for (int round = 0; round < 2; ++round)
        runModal([&] { return sheet.DoModal(); }, [&](QWidget *w) { button(w, IDOK)->click(); });
    const std::vector<std::string> expected = {"A init", "A set", "A kill", "A ok",
                                               "A init", "A set", "A kill", "A ok"};
    EXPECT_EQ(g_log, expected);
}

TEST_F(PropertySheet, WizardWalksPagesAndFinishes)
{
    Sheet sheet;
    sheet.SetWizardMode();
    Page a("A", 101, 0, 6), b("B", 102);
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    const int result = runModal([&] { return sheet.DoModal(); }, [&](QWidget *w) {
        EXPECT_EQ(w->findChild<QTabBar *>(), nullptr);
        auto *title = w->findChild<QLabel *>(QStringLiteral("headerTitle"));
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), QStringLiteral("Header title"));
        button(w, ID_WIZNEXT)->click();
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        sheet.SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
        button(w, ID_WIZBACK)->click();
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        sheet.SetWizardButtons(PSWIZB_NEXT | PSWIZB_FINISH);
        button(w, ID_WIZFINISH)->click();
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(result, 12325);
    EXPECT_EQ(g_log.back(), "A finish");
}

TEST_F(PropertySheet, EmptySheetDoesNotShow)
{
    Sheet sheet;
    EXPECT_EQ(sheet.DoModal(), -1);
}
