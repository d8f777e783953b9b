#pragma once
// A goods bill kind described as data on top of the one goods-bill window:
// its tables, captions, grid columns, default line states, messages, the way
// its lines go through the stock ledger and the partner balance.
#include "client_balance.h"
#include "money.h"
#include "stock_ledger.h"

#include <QString>
#include <QStringList>
#include <functional>

class DataSet;
class QWidget;
struct AppContext;

struct BillColumn {
    QString field;   // a stored field, or a shown name (ColorName, ConfigName, SalesmanName, BuyerName)
    QString caption;
    bool visible = true;
    int width = 0;
    bool ellipsis = false;
    bool summed = false;
};

// The header checks' messages, in the order the save asks them.
struct BillMessages {
    QString noClerk = QStringLiteral("请选择经手人。");
    QString noNumber = QStringLiteral("请输入单据号。");
    QString noPartner;
    QString noStorehouse;
    QString noAccount = QStringLiteral("请选择资金帐户。");
    QString noLines = QStringLiteral("请输入商品资料。");
    QString duplicate = QStringLiteral("单据号不能相同。");
    QString badStorehouse;
    QString badAccount = QStringLiteral("请选择正确的资金帐户。");
    QString badPartner;
};

enum class StockFlow { In, Out };

struct GoodsBillKind {
    QString windowName; // TFGoods_stock_form
    QString caption;    // 进货单
    QString masterTable, detailTable, dateColumn;
    QString dateLabel, partnerLabel, storehouseLabel, settledLabel, openLabel;
    bool hasPartner = true;
    bool hasMoney = true;
    bool hasBatchEntry = false;
    QList<BillColumn> columns;
    BillMessages messages;

    StockFlow flow = StockFlow::In;
    store::RefusalEnding ending = store::RefusalEnding::OneBlank;
    bool storesInCost = false; // the line keeps the cost of its units (InCost)
    store::BalanceDirection balance = store::BalanceDirection::Credit;

    // New lines: these Boolean fields start true and copy the last line's value;
    // setting one true dates it (the paired date field gets the bill date).
    QList<QPair<QString, QString>> statesWithDates; // PaymentStates → PaymentDate
    QStringList trueByDefault;                       // Largess
    QStringList copiedFromLastLine;                  // ClerkID
    bool imeiFillsSerialAndColour = false;

    // The unit price a line gets when its goods is entered.
    std::function<Money(AppContext &, const QString &goodsId, const QString &storehouseName)> defaultPrice;
    // Checks of this kind before a line is stored; false keeps the line in edit.
    std::function<bool(AppContext &, QWidget *, DataSet &)> lineChecks;

    QString reportName;        // Goods_stock_form
    QString storehouseVariable; // StoreName or Storehouse
    // Per-line texts for the report (Payment → 已付/未付, ...).
    QList<std::tuple<QString, QString, QString, QString>> lineTexts; // variable, field, true text, false text

    QString numberSource() const { return masterTable; }
};

const GoodsBillKind &purchaseBill(); // 进货单
const GoodsBillKind &salesBill();    // 销售单
