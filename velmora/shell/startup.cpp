#include "startup.h"

#include "app_context.h"
#include "dialogs.h"
#include "login.h"
#include "mainwindow.h"
#include "small_dialogs.h"
#include "tfdata.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

std::unique_ptr<TFmain> RunStartup(AppContext &app, const WindowCatalog &catalog, const StartupOptions &options)
{
    {
        TFlogo logo;
        logo.show();
        logo.repaint();
        QApplication::processEvents();
        if (options.splashMs > 0)
            QThread::msleep(options.splashMs);
    }
    QApplication::setApplicationDisplayName(QStringLiteral("“Tessaly”手机通讯版 V1.0 标准版"));

    TFLogin_server server(app.settings, app.dialogs, app.programFolder);
    if (app.dialogs.exec(&server) != QDialog::Accepted)
        return nullptr;
    try {
        QApplication::processEvents();
        app.data.connect(server.connectionString());
        TFSystem_enter enter(app);
        if (app.dialogs.exec(&enter) != QDialog::Accepted)
            return nullptr;
    } catch (const DbError &e) {
        app.dialogs.message(nullptr,
                            QStringLiteral("不能打开数据库，请确认网络联接是否正常、或服务器名、用户名、密码是否正确。\r\n\r\n错误信息：") +
                                e.message(),
                            QStringLiteral("提示："), MsgIcon::Error, MsgButtons::Ok);
        app.data.ADOConnection1.close();
        return nullptr;
    }
    return std::make_unique<TFmain>(app, catalog);
}
