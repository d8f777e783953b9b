#include "app_context.h"
#include "basedata_windows.h"
#include "dialogs.h"
#include "goods_bill_window.h"
#include "mainwindow.h"
#include "startup.h"
#include "tfdata.h"
#include "window_catalog.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quenlo"));
    QApplication::setApplicationName(QStringLiteral("Velmora"));

    RegSetting settings;
    QtDialogService dialogs;
    Clock clock;
    TFData data;
    AppContext context{data, dialogs, settings, clock, {}, QApplication::applicationDirPath(), {}};
    WindowCatalog catalog;
    registerShellWindows(catalog);
    registerBasedataWindows(catalog);
    registerGoodsWindows(catalog);

    std::unique_ptr<TFmain> main = RunStartup(context, catalog);
    if (!main)
        return 0;
    main->showMaximized();
    main->restorePanels();
    return app.exec();
}
