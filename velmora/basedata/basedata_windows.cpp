#include "basedata_windows.h"

#include "commodity.h"
#include "corporation.h"
#include "manpower.h"
#include "receivables.h"
#include "simple_lists.h"
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
    add<TFStorehouse>(catalog, QStringLiteral("仓库资料"));
    add<TFColor_Config>(catalog, QStringLiteral("颜色/配置"));
    add<TFSetup_commodity>(catalog, QStringLiteral("商品资料"));
    add<TFSetup_corporation>(catalog, QStringLiteral("往来单位"));
    add<TFSetup_duty>(catalog, QStringLiteral("职务设置"));
    add<TFSetup_manpower>(catalog, QStringLiteral("员工资料"));
    add<TFSetup_earning_payout>(catalog, QStringLiteral("收支项目设置"));
    add<TFSetup_cash_bank>(catalog, QStringLiteral("资金帐户期初"));
    add<TFSetup_receivables_deal>(catalog, QStringLiteral("应收应付期初"));
}
