// The host program end to end: its menu opens the options sheet of the
// real component, which reads and writes the host's settings file.
#include "mainwindow.h"

#include "hostide/host.h"

#include "com/registry.h"
#include "com/tempregistry.h"
#include "fakedialogs.h"
#include "modal.h"
#include "plinth/propsheet.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <dlfcn.h>

#include <gtest/gtest.h>

TEST(HostProgram, OptionsMenuOpensTheSheetAndSavesToTheSettingsFile)
{
    TempRegistry registry;
    QTemporaryDir dir;
    FakeDialogs dialogs;
    hostide::Host host(dir.filePath("ide.ini"));
    ASSERT_EQ(host.registerObjects("hostide"), S_OK);
    com::registry::writeString(HKEY_LOCAL_MACHINE, "Software\\Karrowin\\Developer\\8.0", "Install Location",
                               dir.path().toStdString());
    host.setValue("ProgramFolder", dir.path());
    void *lib = dlopen(DORVANE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr);
    ASSERT_EQ(reinterpret_cast<PFN_DllRegisterServer>(dlsym(lib, "DllRegisterServer"))(), S_OK);
    dlclose(lib);

    MainWindow window(host);
    auto *action = window.findChild<QAction *>(QStringLiteral("actionOptions"));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("Main"))->text(), QStringLiteral("Ready"));

    host.failOn("OptionSettings.get_EnforceBestPractices", MAKE_HRESULT(1, FACILITY_ITF, 1999), "store offline");
    runModal([&] { action->trigger(); return 0; }, [&](QWidget *w) {
        auto *sheet = qobject_cast<CKRPropertySheetEx *>(w);
        ASSERT_NE(sheet, nullptr);
        qobject_cast<QAbstractButton *>(sheet->GetActivePage()->GetDlgItem(202))->click();
        sheet->PressButton(1);
    });
    hostide::Host reread(dir.filePath("ide.ini"));
    EXPECT_EQ(reread.number("HelpOnTop"), -1);
    QFile log(dir.filePath("kride.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().endsWith(": store offline\n"));

    // Without the component the menu reports why.
    RegDeleteTree(HKEY_CLASSES_ROOT, "KRWI.ToolsOptions");
    action->trigger();
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_TRUE(dialogs.messages().back().text.contains(QStringLiteral("Invalid class string")));
    EXPECT_TRUE(window.findChild<QPlainTextEdit *>(QStringLiteral("output"))->toPlainText().contains(
        QStringLiteral("Finding KRWI.ToolsOptions failed")));
}
