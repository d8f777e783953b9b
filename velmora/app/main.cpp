#include "tfdata.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quenlo"));
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    const QString title = QStringLiteral("“Tessaly”手机通讯版 V1.0 标准版");
    QApplication::setApplicationDisplayName(title);

    TFData data;
    try {
        data.connect(ConnectionString::fromLogin(QString(), QString(), QString()).toString());
    } catch (const DbError &e) {
        QMessageBox::critical(nullptr, QStringLiteral("提示："),
                              QStringLiteral("不能打开数据库，请确认网络联接是否正常、或服务器名、用户名、密码是否正确。\r\n\r\n错误信息：") +
                                  e.message());
        return 1;
    }
    QMainWindow main;
    main.setWindowTitle(title);
    main.showMaximized();
    return app.exec();
}
