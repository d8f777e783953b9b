#pragma once
// The stock ledger: every goods movement posts here. Each operation runs inside
// the caller's transaction (the bill save) and neither begins nor commits one.
// Batches and cost layers are used oldest first, oldest meaning ascending
// RecordID. No user interface: refusals are StockRefusal exceptions carrying
// the text to show, stock-limit warnings go to a StockWarnings listener.
#include "database.h"
#include "money.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <stdexcept>

namespace store {

// A line the ledger will not post; message() is the text the bill shows before
// it rolls the save back.
class StockRefusal : public std::runtime_error {
public:
    explicit StockRefusal(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const { return message_; }

private:
    QString message_;
};

// How the "no such stock" refusal ends: the sale words it with one blank before
// 的商品, the purchase return, transfer, loss and gift-given bills with two, the
// parts consumption with none.
enum class RefusalEnding { OneBlank, TwoBlanks, NoBlank };

QString noStockMessage(const QString &goodsName, const QString &imei, RefusalEnding ending);
QString tooLittleStockMessage(const QString &goodsName);

struct StockWarning {
    enum class Kind { AboveUpper, BelowLower };
    Kind kind;
    QString goodsName;
    int quantity = 0; // the new quantity on hand
    int limit = 0;    // the upper or lower limit it crossed
    QString text() const;
};

// Where stock-limit warnings go; the bill window connects it to the dialog
// service. Called only when a limit is actually crossed.
class StockWarnings {
public:
    virtual ~StockWarnings() = default;
    virtual void stockWarning(const StockWarning &warning) = 0;
};

// The limit rules: an upper limit of 0 means none; below the lower limit warns
// (so a lower limit of 0 warns only for a negative quantity).
bool exceedsStockUpper(int quantity, int upper);
bool belowStockLower(int quantity, int lower);

struct StockInLine {
    QString merchandiseId;
    int storehouseId = 0;
    QString imei; // empty for goods without IMEI
    QString sn;
    int amount = 0;
    int colorId = 0; // 0: none
    Money inCost;    // unit cost of the batch
    QString goodsName;
};

struct StockOutLine {
    QString merchandiseId;
    int storehouseId = 0;
    QString imei;
    int amount = 0;
    QString goodsName;
};

struct StockOutOptions {
    RefusalEnding ending = RefusalEnding::OneBlank;
    // The purchase return: a head row without cost layers counts as no stock.
    bool requireCostLayers = false;
};

struct StockMoveLine {
    QString merchandiseId;
    int fromStorehouseId = 0;
    int toStorehouseId = 0;
    QString imei;
    QString sn;
    int colorId = 0;
    int amount = 0;
    QString goodsName;
};

// Receipt (purchase, sales return, overflow, gift received): adds one batch and
// one cost layer; creates the head row on the first receipt.
void PostStockIn(Database &db, const StockInLine &line, StockWarnings *warnings = nullptr);

// Issue (sale, purchase return, loss, gift given, parts used): takes the units
// out oldest batch first and returns their cost, reckoned before anything is
// removed. Throws StockRefusal when the stock is missing or too small.
Money PostStockOut(Database &db, const StockOutLine &line, const StockOutOptions &options = {},
                   StockWarnings *warnings = nullptr);

// Transfer: the units leave the source as by PostStockOut (refusals end with
// two blanks) and each layer they came from becomes one batch and one cost row
// of the target. Returns the cost of the units moved.
Money MoveStockLine(Database &db, const StockMoveLine &line, StockWarnings *warnings = nullptr);

// Deletes one detail row of a head row (the handset with this IMEI, or the
// oldest batch when the IMEI is blank) together with the head row's oldest
// cost layer.
void RemoveStockRow(Database &db, const QString &merchandiseId, const QString &imei, qlonglong headRecordId,
                    int storehouseId);

// The cost of a line's units over cost layers and batch amounts, both oldest
// first: for an IMEI the oldest layer; otherwise the layers walked together
// with the batches. Layers running out early give the total found so far.
Money LineOutCost(const QList<Money> &layers, const QList<int> &batchAmounts, int amount, const QString &imei);
// The same for a line still to be posted, read from the stock as it stands
// (bills that show the cost when a line is entered). 0 when nothing is in stock.
Money LineOutCost(Database &db, const StockOutLine &line);

// The oldest unit cost of a goods in the warehouse of that name; 0 when none.
Money GetInCost(Database &db, const QString &merchandiseId, const QString &storehouseName);
// The S/N and colour of the handset in stock with this IMEI; empty and 0 when none.
QString GetSNByIMEI(Database &db, const QString &imei);
int GetColorByIMEI(Database &db, const QString &imei);

} // namespace store
