#include "goods_bill_save.h"

#include "dataset.h"

namespace {
bool blank(const QString &s) { return s.trimmed().isEmpty(); }
} // namespace

ResolvedBill resolveGoodsBill(Database &db, const GoodsBillKind &kind, const GoodsBillHeader &h, int lineCount)
{
    const BillMessages &m = kind.messages;
    if (blank(h.orderId))
        throw BillRefusal(m.noNumber);
    if (kind.hasPartner && blank(h.partnerName))
        throw BillRefusal(m.noPartner);
    if (blank(h.storehouseName))
        throw BillRefusal(m.noStorehouse);
    if (kind.hasMoney && blank(h.accountName))
        throw BillRefusal(m.noAccount);
    if (lineCount == 0)
        throw BillRefusal(m.noLines);
    if (!db.query(QStringLiteral("select OrderID from %1 where OrderID=:o").arg(kind.masterTable), {{QStringLiteral("o"), h.orderId}})
             .isEmpty())
        throw BillRefusal(m.duplicate);

    ResolvedBill r;
    r.header = h;
    const RowSet store = db.query(QStringLiteral("select StorehouseID from Storehouse where StorehouseName=:n"),
                                  {{QStringLiteral("n"), h.storehouseName}});
    if (store.isEmpty())
        throw BillRefusal(m.badStorehouse);
    r.storehouseId = int(sqlvalue::toInt(store.value(0, 0)));
    if (kind.hasMoney) {
        const RowSet account = db.query(QStringLiteral("select AccountID from CostAccount where AccountName=:n"),
                                        {{QStringLiteral("n"), h.accountName}});
        if (account.isEmpty())
            throw BillRefusal(m.badAccount);
        r.accountId = account.value(0, 0);
    }
    if (kind.hasPartner) {
        const RowSet client = db.query(QStringLiteral("select ClientID from Client where ClientName=:n ORDER BY ClientID"),
                                       {{QStringLiteral("n"), h.partnerName}});
        if (client.isEmpty())
            throw BillRefusal(m.badPartner);
        r.clientId = client.value(0, 0).toString();
    }
    return r;
}

bool withinCreditLimit(Database &db, const GoodsBillKind &kind, const ResolvedBill &bill)
{
    if (!kind.hasPartner || bill.header.open.isZero())
        return true;
    return store::CheckClientUpper(db, bill.clientId, kind.balance, bill.header.open);
}

void postGoodsBill(Database &db, const GoodsBillKind &kind, const ResolvedBill &bill, DataSet &lines,
                   store::StockWarnings *warnings)
{
    const GoodsBillHeader &h = bill.header;
    Transaction tx(db);

    QStringList cols{QStringLiteral("OrderID"), kind.dateColumn, QStringLiteral("StorehouseID")};
    Params params{{QStringLiteral("OrderID"), h.orderId}, {kind.dateColumn, h.date}, {QStringLiteral("StorehouseID"), bill.storehouseId}};
    if (kind.hasPartner) {
        cols << QStringLiteral("ClientID");
        params.append({QStringLiteral("ClientID"), bill.clientId});
    }
    cols << QStringLiteral("ClerkID");
    params.append({QStringLiteral("ClerkID"), h.clerkId});
    if (kind.hasMoney) {
        cols << QStringLiteral("AccountID") << QStringLiteral("Cost") << QStringLiteral("TotalCost");
        params.append({QStringLiteral("AccountID"), bill.accountId});
        params.append({QStringLiteral("Cost"), QVariant::fromValue(h.settled)});
        params.append({QStringLiteral("TotalCost"), QVariant::fromValue(h.open)});
    }
    cols << QStringLiteral("Resume");
    params.append({QStringLiteral("Resume"), h.resume});
    QStringList marks;
    for (const QString &c : cols)
        marks << QLatin1Char(':') + c;
    db.exec(QStringLiteral("Insert Into %1(%2) Values(%3)").arg(kind.masterTable, cols.join(u','), marks.join(u',')), params);

    if (kind.hasPartner && !h.open.isZero())
        store::PostClientBalance(db, bill.clientId, kind.balance, h.open);

    if (lines.isEditing())
        lines.post();
    auto value = [&lines](int row, const char *field) { return lines.valueAt(row, lines.fieldIndex(QString::fromLatin1(field))); };
    for (int row = 0; row < lines.recordCount(); ++row) {
        lines.setValueQuietly(row, QStringLiteral("OrderID"), h.orderId);
        const QString goods = sqlvalue::toString(value(row, "MerchandiseID")).trimmed();
        const QString imei = sqlvalue::toString(value(row, "IMEI")).trimmed();
        const int amount = int(sqlvalue::toInt(value(row, "Amount")));
        const QString name = sqlvalue::toString(value(row, "MerchandiseName"));
        if (kind.flow == StockFlow::In) {
            store::StockInLine in;
            in.merchandiseId = goods;
            in.storehouseId = bill.storehouseId;
            in.imei = imei;
            in.sn = sqlvalue::toString(value(row, "SN"));
            in.amount = amount;
            in.colorId = int(sqlvalue::toInt(value(row, "MerchandiseColorID")));
            in.inCost = Money::fromVariant(value(row, "Cost"));
            in.goodsName = name;
            store::PostStockIn(db, in, warnings);
        } else {
            store::StockOutLine out{goods, bill.storehouseId, imei, amount, name};
            store::StockOutOptions options;
            options.ending = kind.ending;
            const Money cost = store::PostStockOut(db, out, options, warnings);
            if (kind.storesInCost)
                lines.setValueQuietly(row, QStringLiteral("InCost"), QVariant::fromValue(cost));
        }
    }
    lines.applyUpdates();
    tx.commit();
}
