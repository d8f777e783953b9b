#include "stock_ledger.h"

#include <optional>

namespace store {

namespace {

QVariant money(Money m) { return QVariant::fromValue(m); }
QVariant colorValue(int colorId) { return colorId > 0 ? QVariant(colorId) : QVariant(); }
// Goods without IMEI are told apart by IMEI = '', so blanks are stored as
// empty text, never as null.
QString text(const QString &s) { return s.isNull() ? QStringLiteral("") : s; }

struct Head {
    qlonglong recordId = 0;
    int amount = 0;
    int upper = 0;
    int lower = 0;
};

struct Batch {
    qlonglong recordId = 0;
    int amount = 0;
};

void requirePositive(int amount, const QString &imei)
{
    // A negative or zero amount would grow stock on an issue, and an IMEI line
    // of several units would part the head quantity from its handsets.
    if (amount <= 0)
        throw std::invalid_argument("stock line amount must be positive");
    if (!imei.isEmpty() && amount != 1)
        throw std::invalid_argument("an IMEI line holds exactly one unit");
}

Head headFrom(const RowSet &rs)
{
    return {sqlvalue::toInt(rs.value(0, 0)), int(sqlvalue::toInt(rs.value(0, 1))), int(sqlvalue::toInt(rs.value(0, 2))),
            int(sqlvalue::toInt(rs.value(0, 3)))};
}

const QString kHeadColumns = QStringLiteral("SELECT RecordID, StockAmount, StockUpper, StockLower FROM StockMaster "
                                            "WHERE MerchandiseID = :P_MerchandiseID AND StorehouseID = :P_StorehouseID "
                                            "AND NumberType IS NULL");

Params headParams(const QString &merchandiseId, int storehouseId)
{
    return {{QStringLiteral("P_MerchandiseID"), merchandiseId}, {QStringLiteral("P_StorehouseID"), storehouseId}};
}

// The head row, locked until the bill's transaction ends.
std::optional<Head> lockHead(Database &db, const QString &merchandiseId, int storehouseId)
{
    const RowSet rs = db.query(kHeadColumns + db.dialect().forUpdate(), headParams(merchandiseId, storehouseId));
    if (rs.isEmpty())
        return std::nullopt;
    return headFrom(rs);
}

// Insert-or-lock: a locking read does not see a head row another open
// transaction is inserting, the unique index does; the insert waits for that
// transaction and then does nothing.
Head lockOrCreateHead(Database &db, const QString &merchandiseId, int storehouseId)
{
    if (auto h = lockHead(db, merchandiseId, storehouseId))
        return *h;
    db.exec(QStringLiteral("INSERT INTO StockMaster(MerchandiseID, StorehouseID, StockAmount) "
                           "VALUES(:P_MerchandiseID, :P_StorehouseID, 0) "
                           "ON CONFLICT (MerchandiseID, StorehouseID) WHERE NumberType IS NULL DO NOTHING"),
            headParams(merchandiseId, storehouseId));
    if (auto h = lockHead(db, merchandiseId, storehouseId))
        return *h;
    throw DbError(QStringLiteral("stock head row for %1 could not be created").arg(merchandiseId));
}

void setStockAmount(Database &db, qlonglong headId, int amount)
{
    db.exec(QStringLiteral("UPDATE StockMaster SET StockAmount = :P_Amount WHERE RecordID = :P_RecordID"),
            {{QStringLiteral("P_Amount"), amount}, {QStringLiteral("P_RecordID"), headId}});
}

QList<Batch> batches(Database &db, qlonglong headId, const QString &imei)
{
    QString sql = QStringLiteral("SELECT RecordID, Amount FROM StockDetail WHERE OrderID = :P_OrderID");
    Params params{{QStringLiteral("P_OrderID"), headId}};
    if (!imei.isEmpty()) {
        sql += QStringLiteral(" AND IMEI = :P_IMEI");
        params.append({QStringLiteral("P_IMEI"), imei});
    }
    const RowSet rs = db.query(sql + QStringLiteral(" ORDER BY RecordID"), params);
    QList<Batch> out;
    for (int i = 0; i < rs.size(); ++i)
        out.append({sqlvalue::toInt(rs.value(i, 0)), int(sqlvalue::toInt(rs.value(i, 1)))});
    return out;
}

QList<Money> layers(Database &db, qlonglong headId)
{
    const RowSet rs = db.query(QStringLiteral("SELECT InCost FROM StockCost WHERE OrderID = :P_OrderID ORDER BY RecordID"),
                               {{QStringLiteral("P_OrderID"), headId}});
    QList<Money> out;
    for (const QVariantList &row : rs.rows)
        out.append(Money::fromVariant(row.at(0)));
    return out;
}

QList<int> amountsOf(const QList<Batch> &bs)
{
    QList<int> out;
    for (const Batch &b : bs)
        out.append(b.amount);
    return out;
}

void warnUpper(StockWarnings *w, const QString &name, int quantity, int upper)
{
    if (w && exceedsStockUpper(quantity, upper))
        w->stockWarning({StockWarning::Kind::AboveUpper, name, quantity, upper});
}

void warnLower(StockWarnings *w, const QString &name, int quantity, int lower)
{
    if (w && belowStockLower(quantity, lower))
        w->stockWarning({StockWarning::Kind::BelowLower, name, quantity, lower});
}

void lowerBatch(Database &db, const Batch &b, int by)
{
    db.exec(QStringLiteral("UPDATE StockDetail SET Amount = :P_Amount WHERE RecordID = :P_RecordID"),
            {{QStringLiteral("P_Amount"), b.amount - by}, {QStringLiteral("P_RecordID"), b.recordId}});
}

// The out side shared by issues and transfers: checks, locks the head row,
// lowers its quantity and warns. Returns the head row as it was read.
struct OutSide {
    Head head;
    QList<Batch> batches;
};

OutSide takeFromHead(Database &db, const QString &merchandiseId, int storehouseId, const QString &imei, int amount,
                     const QString &goodsName, const StockOutOptions &options, StockWarnings *warnings)
{
    requirePositive(amount, imei);
    const QString refusal = noStockMessage(goodsName, imei, options.ending);
    const std::optional<Head> head = lockHead(db, merchandiseId, storehouseId);
    if (!head)
        throw StockRefusal(refusal);
    OutSide out{*head, batches(db, head->recordId, imei)};
    if (out.batches.isEmpty())
        throw StockRefusal(refusal);
    if (options.requireCostLayers
        && sqlvalue::toInt(db.scalar(QStringLiteral("SELECT count(*) FROM StockCost WHERE OrderID = :P_OrderID"),
                                     {{QStringLiteral("P_OrderID"), head->recordId}}))
               == 0)
        throw StockRefusal(refusal);
    if (head->amount < amount)
        throw StockRefusal(tooLittleStockMessage(goodsName));
    setStockAmount(db, head->recordId, head->amount - amount);
    warnLower(warnings, goodsName, head->amount - amount, head->lower);
    return out;
}

} // namespace

QString noStockMessage(const QString &goodsName, const QString &imei, RefusalEnding ending)
{
    static const char *const endings[] = {" 的商品。", "  的商品。", "的商品。"};
    return QStringLiteral("库存中没有商品名称为") + goodsName + QStringLiteral(",IMEI号为") + imei
           + QString::fromUtf8(endings[int(ending)]);
}

QString tooLittleStockMessage(const QString &goodsName)
{
    return QStringLiteral("库存商品") + goodsName + QStringLiteral("的数量少于发货数量。");
}

QString StockWarning::text() const
{
    return kind == Kind::AboveUpper ? QStringLiteral("商品：") + goodsName + QStringLiteral(" 库存数量已经超过库存上限。")
                                    : QStringLiteral("商品：") + goodsName + QStringLiteral("库存数量已经小于库存下限。");
}

bool exceedsStockUpper(int quantity, int upper) { return upper != 0 && upper < quantity; }
bool belowStockLower(int quantity, int lower) { return quantity < lower; }

void PostStockIn(Database &db, const StockInLine &line, StockWarnings *warnings)
{
    const QString imei = line.imei.trimmed();
    requirePositive(line.amount, imei);
    const Head head = lockOrCreateHead(db, line.merchandiseId, line.storehouseId);
    const int quantity = head.amount + line.amount;
    setStockAmount(db, head.recordId, quantity);
    db.exec(QStringLiteral("INSERT INTO StockDetail(OrderID, IMEI, SN, Amount, MerchandiseColorID) "
                           "VALUES(:P_OrderID, :P_IMEI, :P_SN, :P_Amount, :P_ColorID)"),
            {{QStringLiteral("P_OrderID"), head.recordId},
             {QStringLiteral("P_IMEI"), text(imei)},
             {QStringLiteral("P_SN"), text(line.sn)},
             {QStringLiteral("P_Amount"), line.amount},
             {QStringLiteral("P_ColorID"), colorValue(line.colorId)}});
    db.exec(QStringLiteral("INSERT INTO StockCost(OrderID, InCost) VALUES(:P_OrderID, :P_InCost)"),
            {{QStringLiteral("P_OrderID"), head.recordId}, {QStringLiteral("P_InCost"), money(line.inCost)}});
    warnUpper(warnings, line.goodsName, quantity, head.upper);
}

Money PostStockOut(Database &db, const StockOutLine &line, const StockOutOptions &options, StockWarnings *warnings)
{
    const QString imei = line.imei.trimmed();
    const OutSide out =
        takeFromHead(db, line.merchandiseId, line.storehouseId, imei, line.amount, line.goodsName, options, warnings);
    const Money cost = LineOutCost(layers(db, out.head.recordId), amountsOf(out.batches), line.amount, imei);
    if (!imei.isEmpty()) {
        RemoveStockRow(db, line.merchandiseId, imei, out.head.recordId, line.storehouseId);
        return cost;
    }
    int remaining = line.amount;
    for (const Batch &b : out.batches) {
        if (remaining == 0)
            break;
        if (remaining < b.amount) {
            lowerBatch(db, b, remaining);
            break;
        }
        remaining -= b.amount;
        RemoveStockRow(db, line.merchandiseId, QString(), out.head.recordId, line.storehouseId);
    }
    return cost;
}

Money MoveStockLine(Database &db, const StockMoveLine &line, StockWarnings *warnings)
{
    const QString imei = line.imei.trimmed();
    const OutSide out = takeFromHead(db, line.merchandiseId, line.fromStorehouseId, imei, line.amount, line.goodsName,
                                     {RefusalEnding::TwoBlanks, false}, warnings);
    const QList<Money> costs = layers(db, out.head.recordId);
    // Each (amount, unit cost) becomes one batch and one layer of the target.
    QList<std::pair<int, Money>> moved;
    if (!imei.isEmpty()) {
        moved.append({1, costs.value(0)});
        RemoveStockRow(db, line.merchandiseId, imei, out.head.recordId, line.fromStorehouseId);
    } else {
        int remaining = line.amount;
        for (qsizetype i = 0; i < out.batches.size() && remaining > 0; ++i) {
            const Batch &b = out.batches.at(i);
            if (remaining < b.amount) {
                moved.append({remaining, costs.value(i)});
                lowerBatch(db, b, remaining);
                break;
            }
            moved.append({b.amount, costs.value(i)});
            remaining -= b.amount;
            RemoveStockRow(db, line.merchandiseId, QString(), out.head.recordId, line.fromStorehouseId);
        }
    }

    const Head target = lockOrCreateHead(db, line.merchandiseId, line.toStorehouseId);
    const int quantity = target.amount + line.amount;
    setStockAmount(db, target.recordId, quantity);
    Money total;
    for (const auto &[amount, cost] : moved) {
        db.exec(QStringLiteral("INSERT INTO StockDetail(OrderID, IMEI, SN, Amount, MerchandiseColorID) "
                               "VALUES(:P_OrderID, :P_IMEI, :P_SN, :P_Amount, :P_ColorID)"),
                {{QStringLiteral("P_OrderID"), target.recordId},
                 {QStringLiteral("P_IMEI"), text(imei)},
                 {QStringLiteral("P_SN"), text(line.sn)},
                 {QStringLiteral("P_Amount"), amount},
                 {QStringLiteral("P_ColorID"), colorValue(line.colorId)}});
        db.exec(QStringLiteral("INSERT INTO StockCost(OrderID, InCost) VALUES(:P_OrderID, :P_InCost)"),
                {{QStringLiteral("P_OrderID"), target.recordId}, {QStringLiteral("P_InCost"), money(cost)}});
        total += cost * amount;
    }
    warnUpper(warnings, line.goodsName, quantity, target.upper);
    return total;
}

void RemoveStockRow(Database &db, const QString &merchandiseId, const QString &imei, qlonglong headRecordId,
                    int storehouseId)
{
    const QString trimmed = imei.trimmed();
    int removed = 0;
    if (!trimmed.isEmpty()) {
        // Only the handset of this head row: an IMEI elsewhere is not ours to delete.
        removed = db.exec(QStringLiteral("DELETE FROM StockDetail WHERE IMEI = :P_IMEI AND OrderID = :P_OrderID"),
                          {{QStringLiteral("P_IMEI"), trimmed}, {QStringLiteral("P_OrderID"), headRecordId}});
    } else {
        removed = db.exec(QStringLiteral("DELETE FROM StockDetail WHERE RecordID = (SELECT MIN(SD.RecordID) "
                                         "FROM StockMaster SM JOIN StockDetail SD ON SM.RecordID = SD.OrderID "
                                         "WHERE SM.MerchandiseID = :P_MerchandiseID AND SM.StorehouseID = :P_StorehouseID "
                                         "AND SM.NumberType IS NULL)"),
                          headParams(merchandiseId, storehouseId));
    }
    // The layer goes only with a row: a miss must not eat another batch's cost.
    if (removed == 0)
        return;
    db.exec(QStringLiteral("DELETE FROM StockCost WHERE RecordID = "
                           "(SELECT MIN(RecordID) FROM StockCost WHERE OrderID = :P_OrderID)"),
            {{QStringLiteral("P_OrderID"), headRecordId}});
}

Money LineOutCost(const QList<Money> &costLayers, const QList<int> &batchAmounts, int amount, const QString &imei)
{
    if (!imei.trimmed().isEmpty())
        return costLayers.value(0);
    Money total;
    int wanted = amount;
    for (qsizetype i = 0; i < costLayers.size() && i < batchAmounts.size(); ++i) {
        if (batchAmounts.at(i) >= wanted)
            return total + costLayers.at(i) * wanted;
        total += costLayers.at(i) * batchAmounts.at(i);
        wanted -= batchAmounts.at(i);
    }
    return total;
}

Money LineOutCost(Database &db, const StockOutLine &line)
{
    const QString imei = line.imei.trimmed();
    const RowSet rs = db.query(kHeadColumns, headParams(line.merchandiseId, line.storehouseId));
    if (rs.isEmpty())
        return {};
    const qlonglong headId = headFrom(rs).recordId;
    const QList<Batch> bs = batches(db, headId, imei);
    if (bs.isEmpty())
        return {};
    return LineOutCost(layers(db, headId), amountsOf(bs), line.amount, imei);
}

Money GetInCost(Database &db, const QString &merchandiseId, const QString &storehouseName)
{
    return Money::fromVariant(db.scalar(
        QStringLiteral("SELECT SC.InCost FROM StockMaster SM JOIN StockCost SC ON SM.RecordID = SC.OrderID "
                       "JOIN Storehouse Sh ON SM.StorehouseID = Sh.StorehouseID "
                       "WHERE SM.MerchandiseID = :P_MerchandiseID AND Sh.StorehouseName = :P_StorehouseName "
                       "ORDER BY SC.RecordID LIMIT 1"),
        {{QStringLiteral("P_MerchandiseID"), merchandiseId}, {QStringLiteral("P_StorehouseName"), storehouseName}}));
}

// A blank IMEI names no handset (it would match every batch without IMEI).
QString GetSNByIMEI(Database &db, const QString &imei)
{
    if (imei.trimmed().isEmpty())
        return {};
    return sqlvalue::toString(db.scalar(QStringLiteral("SELECT SN FROM StockDetail WHERE IMEI = :P_IMEI ORDER BY RecordID LIMIT 1"),
                                        {{QStringLiteral("P_IMEI"), imei.trimmed()}}));
}

int GetColorByIMEI(Database &db, const QString &imei)
{
    if (imei.trimmed().isEmpty())
        return 0;
    return int(sqlvalue::toInt(
        db.scalar(QStringLiteral("SELECT MerchandiseColorID FROM StockDetail WHERE IMEI = :P_IMEI ORDER BY RecordID LIMIT 1"),
                  {{QStringLiteral("P_IMEI"), imei.trimmed()}})));
}

} // namespace store
