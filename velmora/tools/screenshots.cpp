// velmora-screenshots OUTDIR: renders the windows offscreen into PNG files so
// that their look can be reviewed. Every window registered in the program's
// catalogue is included, so new windows add themselves.
#include "app_context.h"
#include "basedata_windows.h"
#include "dialogs.h"
#include "goods_bill_window.h"
#include "login.h"
#include "mainwindow.h"
#include "schema/schema.h"
#include "tfdata.h"
#include "window_catalog.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// Answers nothing and shows nothing: windows are only looked at.
class SilentDialogs : public ScriptedDialogService {
public:
    int exec(QDialog *) override { return QDialog::Rejected; }
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool save(QWidget *w, const QString &dir, const QString &name)
{
    settle();
    const QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", file.toLocal8Bit().constData());
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora-screenshots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QApplication::setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 9));

    QTemporaryDir tmp;
    RegSetting settings(tmp.filePath(QStringLiteral("settings.ini")));
    SilentDialogs dialogs;
    Clock clock;
    TFData data;
    data.connect(ConnectionString::fromLogin(tmp.filePath(QStringLiteral("handset.db")), {}, {}).toString());
    AppContext ctx{data, dialogs, settings, clock, {}, QApplication::applicationDirPath(), {}};
    ctx.session = {QStringLiteral("系统管理员"), QStringLiteral("超级用户")};
    WindowCatalog catalog;
    registerShellWindows(catalog);
    registerBasedataWindows(catalog);
    registerGoodsWindows(catalog);

    bool ok = true;
    {
        TFLogin_server server(settings, dialogs, ctx.programFolder);
        server.show();
        ok &= save(&server, out, QStringLiteral("TFLogin_server"));
        TFSystem_enter enter(ctx);
        enter.show();
        ok &= save(&enter, out, QStringLiteral("TFSystem_enter"));
    }
    TFmain main(ctx, catalog);
    main.resize(1024, 700);
    main.show();
    settings.write(QStringLiteral("GoodsBotton"), QStringLiteral("1"));
    main.restorePanels();
    ok &= save(&main, out, QStringLiteral("TFmain"));
    if (QWidget *panel = main.panel(QStringLiteral("GoodsBotton")))
        ok &= save(panel, out, QStringLiteral("TFmain_panel_GoodsBotton"));

    // Every function window and bill of the catalogue.
    for (const QString &command : catalog.commands()) {
        if (auto f = catalog.window(command)) {
            main.closeAllChildren();
            QWidget *w = f(ctx, nullptr);
            w->setAttribute(Qt::WA_DeleteOnClose);
            QMdiSubWindow *sub = main.mdiArea()->addSubWindow(w);
            sub->showMaximized();
            ok &= save(&main, out, QStringLiteral("window_") + w->objectName());
        } else if (auto b = catalog.bill(command)) {
            std::unique_ptr<QDialog> dlg(b(ctx, &main));
            dlg->show();
            ok &= save(dlg.get(), out, QStringLiteral("bill_") + dlg->objectName());
        }
    }
    main.closeAllChildren();
    settle();
    return ok ? 0 : 1;
}
