#include "window_catalog.h"

#include "popedom.h"

void registerShellWindows(WindowCatalog &catalog)
{
    catalog.addWindow(QStringLiteral("权限设置"),
                      [](AppContext &app, QWidget *parent) -> QWidget * { return new TFSystem_popedom(app, parent); });
}
