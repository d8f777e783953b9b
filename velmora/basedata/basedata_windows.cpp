#include "basedata_windows.h"

#include "commodity.h"
#include "window_catalog.h"

namespace {
template <class W>
void add(WindowCatalog &catalog, const QString &caption)
{
    catalog.addWindow(caption, [](AppContext &app, QWidget *parent) -> QWidget * { return new W(app, parent); });
}
} // namespace

void registerBasedataWindows(WindowCatalog &catalog)
{
    add<TFSetup_commodity>(catalog, QStringLiteral("商品资料"));
}
