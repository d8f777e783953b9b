#include "goods_bill_kind.h"

#include "app_context.h"
#include "dataset.h"
#include "dialogs.h"
#include "tfdata.h"

namespace {

BillColumn col(const char *field, const char *caption, int width = 0, bool visible = true)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), visible, width, false, false};
}
BillColumn ellipsis(const char *field, const char *caption)
{
    BillColumn c = col(field, caption, 90);
    c.ellipsis = true;
    return c;
}
BillColumn summed(const char *field, const char *caption)
{
    BillColumn c = col(field, caption, 90);
    c.summed = true;
    return c;
}

GoodsBillKind makePurchase()
{
    GoodsBillKind k;
    k.windowName = QStringLiteral("TFGoods_stock_form");
    k.caption = QStringLiteral("进货单");
    k.masterTable = QStringLiteral("BuyMaster");
    k.detailTable = QStringLiteral("BuyDetail");
    k.dateColumn = QStringLiteral("BuyDate");
    k.dateLabel = QStringLiteral("进货日期：");
    k.partnerLabel = QStringLiteral("供应商：");
    k.storehouseLabel = QStringLiteral("收货仓库：");
    k.settledLabel = QStringLiteral("付款金额：");
    k.openLabel = QStringLiteral("应付余额：");
    k.hasBatchEntry = true;
    k.columns = {col("LineID", "行号", 40),
                 col("MerchandiseID", "商品编号", 90),
                 col("MerchandiseName", "商品名称", 120),
                 col("Unit", "单位", 40),
                 col("Spec", "规格", 70),
                 ellipsis("ColorName", "颜色"),
                 col("ConfigName", "配置", 70),
                 col("IMEI", "IMEI号", 130),
                 col("SN", "S/N号", 90, false),
                 summed("Amount", "数量"),
                 col("Cost", "单价", 80),
                 summed("TotalCost", "总金额"),
                 col("PaymentStates", "付款状态", 60, false),
                 col("PaymentDate", "付款日期", 80, false),
                 col("Remark", "备注", 200)};
    k.messages.noPartner = QStringLiteral("请选择供应商，便于应收应付统计。");
    k.messages.noStorehouse = QStringLiteral("请选择收货仓库。");
    k.messages.badStorehouse = QStringLiteral("请选择正确的收货仓库。");
    k.messages.badPartner = QStringLiteral("往来单位中没有该供应商。");
    k.flow = StockFlow::In;
    k.balance = store::BalanceDirection::Credit;
    k.statesWithDates = {{QStringLiteral("PaymentStates"), QStringLiteral("PaymentDate")}};
    k.defaultPrice = [](AppContext &app, const QString &goods, const QString &storehouse) {
        return store::GetInCost(app.data.ADOConnection1, goods, storehouse);
    };
    k.reportName = QStringLiteral("Goods_stock_form");
    k.storehouseVariable = QStringLiteral("StoreName");
    k.lineTexts = {{QStringLiteral("Payment"), QStringLiteral("PaymentStates"), QStringLiteral("已付"), QStringLiteral("未付")}};
    return k;
}

GoodsBillKind makeSale()
{
    GoodsBillKind k;
    k.windowName = QStringLiteral("TFGoods_sell");
    k.caption = QStringLiteral("销售单");
    k.masterTable = QStringLiteral("SellMaster");
    k.detailTable = QStringLiteral("SellDetail");
    k.dateColumn = QStringLiteral("SellDate");
    k.dateLabel = QStringLiteral("销售日期：");
    k.partnerLabel = QStringLiteral("客户名称：");
    k.storehouseLabel = QStringLiteral("发货仓库：");
    k.settledLabel = QStringLiteral("收款金额：");
    k.openLabel = QStringLiteral("应收余额：");
    k.hasBatchEntry = true;
    k.columns = {col("LineID", "行号", 40),
                 col("MerchandiseID", "商品编号", 90),
                 col("MerchandiseName", "商品名称", 120),
                 col("Unit", "单位", 40),
                 col("Spec", "规格", 70),
                 col("ConfigName", "配置", 70),
                 col("IMEI", "IMEI号", 130),
                 col("SN", "S/N号", 90, false),
                 col("ColorName", "颜色", 60),
                 summed("Amount", "数量"),
                 col("Cost", "单价", 80),
                 summed("TotalCost", "总金额"),
                 col("Largess", "赠品", 40),
                 col("GatheringStates", "收款状态", 60, false),
                 col("GatheringDate", "收款日期", 80, false),
                 ellipsis("SalesmanName", "业务员"),
                 ellipsis("BuyerName", "顾客资料"),
                 col("Remark", "备注", 160)};
    k.messages.noPartner = QStringLiteral("请选择客户名称，便于应收应付统计。");
    k.messages.noStorehouse = QStringLiteral("请选择发货仓库。");
    k.messages.badStorehouse = QStringLiteral("请选择正确的发货仓库。");
    k.messages.badPartner = QStringLiteral("往来单位中没有该客户名称。");
    k.flow = StockFlow::Out;
    k.ending = store::RefusalEnding::OneBlank;
    k.storesInCost = true;
    k.balance = store::BalanceDirection::Debit;
    k.statesWithDates = {{QStringLiteral("GatheringStates"), QStringLiteral("GatheringDate")}};
    k.trueByDefault = {QStringLiteral("Largess")};
    k.copiedFromLastLine = {QStringLiteral("ClerkID"), QStringLiteral("Largess")};
    k.imeiFillsSerialAndColour = true;
    k.defaultPrice = [](AppContext &app, const QString &goods, const QString &storehouse) {
        // The retail price of the goods' first batch in that warehouse.
        return Money::fromVariant(app.data.ADOConnection1.scalar(
            QStringLiteral("Select SD.Cost From StockMaster SM JOIN StockDetail SD ON SM.RecordID=SD.OrderID "
                           "JOIN Storehouse Sh ON SM.StorehouseID=Sh.StorehouseID "
                           "Where SM.MerchandiseID=:g and Sh.StorehouseName=:s ORDER BY SD.RecordID LIMIT 1"),
            {{QStringLiteral("g"), goods}, {QStringLiteral("s"), storehouse}}));
    };
    k.lineChecks = [](AppContext &app, QWidget *parent, DataSet &line) {
        Database &db = app.data.ADOConnection1;
        const QString clerk = line.text(QStringLiteral("ClerkID")).trimmed();
        if (!clerk.isEmpty() &&
            db.query(QStringLiteral("Select ClerkID From Clerk where ClerkID=:id"), {{QStringLiteral("id"), clerk}}).isEmpty()) {
            app.dialogs.warn(parent, QStringLiteral("员工资料中没有该业务员。"));
            return false;
        }
        const QVariant buyer = line.value(QStringLiteral("BuyerID"));
        if (!buyer.isNull() &&
            db.query(QStringLiteral("Select BuyerID From Buyer where BuyerID=:id"), {{QStringLiteral("id"), buyer}}).isEmpty()) {
            app.dialogs.warn(parent, QStringLiteral("顾客资料中没有该顾客。"));
            return false;
        }
        return true;
    };
    k.reportName = QStringLiteral("Goods_sell");
    k.storehouseVariable = QStringLiteral("Storehouse");
    k.lineTexts = {{QStringLiteral("payment"), QStringLiteral("GatheringStates"), QStringLiteral("已付"), QStringLiteral("未付")},
                   {QStringLiteral("Largess"), QStringLiteral("Largess"), QStringLiteral("有"), QStringLiteral("无")}};
    return k;
}

} // namespace

const GoodsBillKind &purchaseBill()
{
    static const GoodsBillKind k = makePurchase();
    return k;
}

const GoodsBillKind &salesBill()
{
    static const GoodsBillKind k = makeSale();
    return k;
}
