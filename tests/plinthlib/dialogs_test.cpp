#include "plinth/dialogs.h"
#include "plinth/dlgbuild.h"

#include "fakedialogs.h"

#include <QComboBox>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

TEST(Dialogs, IsValidPathUnit)
{
    struct Case {
        const char *name;
        bool valid;
    } cases[] = {
        {"Project1", true},   {"my setup.ism", true}, {".hidden", true},  {"", false},
        {".", false},         {"..", false},          {"a/b", false},     {"a\\b", false},
        {"what?", false},     {"x:y", false},         {"star*", false},   {"quote\"", false},
        {"pipe|", false},     {"<tag>", false},       {"trailing.", false}, {"trailing ", false},
        {"CON", false},       {"nul.txt", false},     {"com1", false},    {"COM0", true},
        {"console", true},    {"tab\there", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsValidPathUnit(QString::fromUtf8(c.name)), c.valid) << c.name;
    EXPECT_FALSE(IsValidPathUnit(QString(256, QLatin1Char('a'))));
}

TEST(Dialogs, PipeFiltersBecomeQtFilters)
{
    struct Case {
        const char *in;
        const char *out;
    } cases[] = {
        {"Regasm.exe|Regasm.exe||", "Regasm.exe (Regasm.exe)"},
        {"Programs|*.exe;*.com|All files|*.*||", "Programs (*.exe *.com);;All files (*.*)"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(plinth::qtFilterFromPipes(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(Dialogs, FolderAndFileBrowsersAnswerThroughTheService)
{
    FakeDialogs fake;
    QString folder = QStringLiteral("/start");
    fake.folderAnswers = {std::nullopt, QStringLiteral("/chosen")};
    EXPECT_FALSE(KRBrowseForFolder(nullptr, QStringLiteral("Pick"), folder));
    EXPECT_EQ(folder, QStringLiteral("/start")) << "cancel leaves the folder";
    EXPECT_TRUE(KRBrowseForFolder(nullptr, QStringLiteral("Pick"), folder));
    EXPECT_EQ(folder, QStringLiteral("/chosen"));

    fake.fileAnswers = {{QStringLiteral("/bin/Regasm.exe"), QStringLiteral("/other")}};
    CDragDropExplorerFileFolder browser(nullptr, CDragDropExplorerFileFolder::BrowseFiles,
                                        QStringLiteral("Regasm.exe|Regasm.exe||"), QString(), QStringLiteral("/bin"));
    const QStringList files = browser.GetArrayOfFiles(false);
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(fake.asked.back().filter, QStringLiteral("Regasm.exe (Regasm.exe)"));
    EXPECT_EQ(fake.asked.back().initial, QStringLiteral("/bin"));
    EXPECT_EQ(browser.GetArrayOfFiles(false), files) << "shown once";
    EXPECT_EQ(fake.asked.size(), 3u);

    CDragDropExplorerFileFolder cancelled(nullptr, CDragDropExplorerFileFolder::BrowseFiles, QString(), QString(),
                                          QString());
    EXPECT_TRUE(cancelled.GetArrayOfFiles(false).isEmpty());
}

TEST(Dialogs, SortedListsIgnoreCase)
{
    QWidget page;
    auto *v = new QVBoxLayout(&page);
    QComboBox *sorted = plinth::dlg::dropDownList(v, 255, true);
    QComboBox *plain = plinth::dlg::dropDownList(v, 256, false);
    for (const char *t : {"Windows Installer", "karrowin", "Ambryn"}) {
        plinth::dlg::addString(sorted, QString::fromUtf8(t));
        plinth::dlg::addString(plain, QString::fromUtf8(t));
    }
    EXPECT_EQ(sorted->itemText(0), QStringLiteral("Ambryn"));
    EXPECT_EQ(sorted->itemText(1), QStringLiteral("karrowin"));
    EXPECT_EQ(plain->itemText(0), QStringLiteral("Windows Installer"));
    EXPECT_EQ(page.findChild<QComboBox *>(QStringLiteral("255")), sorted);
}
