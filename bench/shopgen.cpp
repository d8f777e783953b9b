#include "shopgen.h"

#include "dataset.h"
#include "goods_bill_kind.h"
#include "goods_bill_save.h"
#include "order_number.h"
#include "schema/schema.h"

#include <QRandomGenerator>

namespace {

DataSet *openLines(Database &db, const GoodsBillKind &kind, DataSet &ds)
{
    ds.setSql(QStringLiteral("Select * From %1 Where OrderID=''").arg(kind.detailTable));
    ds.setUpdateTable(kind.detailTable, {QStringLiteral("RecordID")});
    ds.setBatchMode(true);
    ds.open();
    Q_UNUSED(db);
    return &ds;
}

void addLine(DataSet &lines, const QString &goods, const QString &name, const QString &imei, int amount, Money price)
{
    lines.append();
    lines.setValue(QStringLiteral("MerchandiseID"), goods);
    lines.setValue(QStringLiteral("MerchandiseName"), name);
    lines.setValue(QStringLiteral("IMEI"), imei);
    lines.setValue(QStringLiteral("Amount"), amount);
    lines.setValue(QStringLiteral("Cost"), QVariant::fromValue(price));
    lines.setValue(QStringLiteral("TotalCost"), QVariant::fromValue(price * amount));
    lines.post();
}

ResolvedBill bill(Database &db, const GoodsBillKind &kind, const QDateTime &when, const QString &partner, int store,
                  const QString &clerk, Money total)
{
    ResolvedBill b;
    b.header.orderId = NextOrderID(db, kind.masterTable);
    b.header.date = when;
    b.header.clerkId = clerk;
    b.header.settled = total;
    b.clientId = partner;
    b.storehouseId = store;
    b.accountId = db.scalar(QStringLiteral("SELECT min(AccountID) FROM CostAccount"));
    return b;
}

} // namespace

void generateShop(Database &db, const ShopSize &size, unsigned seed)
{
    QRandomGenerator rnd(seed);
    schema::ensure(db);
    {
        Transaction tx(db);
        for (int w = 1; w < size.warehouses; ++w)
            db.exec(QStringLiteral("INSERT INTO Storehouse(StorehouseName) VALUES(:n)"), {{QStringLiteral("n"), QStringLiteral("分店%1").arg(w)}});
        db.exec(QStringLiteral("INSERT INTO CompanyConstruction(DepartID, DepartName) VALUES('001','门市部')"));
        for (int c = 0; c < size.clerks; ++c)
            db.exec(QStringLiteral("INSERT INTO Clerk(ClerkID, ClerkName, Pass, DepartID) VALUES(:id,:n,'1','001')"),
                    {{QStringLiteral("id"), QStringLiteral("E%1").arg(c, 3, 10, QLatin1Char('0'))}, {QStringLiteral("n"), QStringLiteral("员工%1").arg(c)}});
        for (int p = 0; p < size.partners; ++p)
            db.exec(QStringLiteral("INSERT INTO Client(ClientID, ClientTypeID, ClientName, CostType) VALUES(:id,:t,:n,:ct)"),
                    {{QStringLiteral("id"), QStringLiteral("P%1").arg(p, 4, 10, QLatin1Char('0'))},
                     {QStringLiteral("t"), p % 2 ? QStringLiteral("02") : QStringLiteral("01")},
                     {QStringLiteral("n"), QStringLiteral("往来单位%1").arg(p)},
                     {QStringLiteral("ct"), p % 2 == 1}});
        db.exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName) VALUES('001','手机'),('002','配件')"));
        for (int g = 0; g < size.goods; ++g)
            db.exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseTypeID, MerchandiseName) VALUES(:id,:t,:n)"),
                    {{QStringLiteral("id"), QStringLiteral("G%1").arg(g, 5, 10, QLatin1Char('0'))},
                     {QStringLiteral("t"), g % 3 ? QStringLiteral("001") : QStringLiteral("002")},
                     {QStringLiteral("n"), QStringLiteral("商品%1").arg(g)}});
        tx.commit();
    }
    const QList<int> stores = [&] {
        QList<int> out;
        const RowSet rs = db.query(QStringLiteral("SELECT StorehouseID FROM Storehouse ORDER BY StorehouseID"));
        for (int i = 0; i < rs.size(); ++i)
            out << int(sqlvalue::toInt(rs.value(i, 0)));
        return out;
    }();
    // Handsets (goods 1 and 2 of every 3) carry IMEIs; accessories are plain.
    auto isHandset = [](int g) { return g % 3 != 0; };
    qlonglong imei = 860000000000000LL;
    QList<QPair<QString, int>> handsetsInStock; // IMEI, warehouse index
    const QDateTime start(QDate(2023, 1, 1), QTime(9, 0));
    const int days = 3 * 365;
    const int bills = size.purchases + size.sales;
    for (int b = 0; b < bills; ++b) {
        const QDateTime when = start.addSecs(qint64(b) * days * 86400 / bills);
        const bool sale = b % 3 == 2 && !handsetsInStock.isEmpty() && b / 3 < size.sales;
        const GoodsBillKind &kind = sale ? salesBill() : purchaseBill();
        DataSet lines(&db);
        openLines(db, kind, lines);
        Money total;
        const int store = int(rnd.bounded(stores.size()));
        for (int l = 0; l < size.linesPerBill; ++l) {
            if (sale) {
                if (handsetsInStock.isEmpty())
                    break;
                // Sell a handset that lies in the bill's warehouse, if any.
                int pick = -1;
                for (int i = 0; i < handsetsInStock.size(); ++i)
                    if (handsetsInStock[i].second == store) {
                        pick = i;
                        break;
                    }
                if (pick < 0)
                    break;
                const QString code = handsetsInStock.takeAt(pick).first;
                const QString goods = db.scalar(QStringLiteral("SELECT SM.MerchandiseID FROM StockDetail SD JOIN StockMaster SM "
                                                               "ON SM.RecordID = SD.OrderID WHERE SD.IMEI = :i"),
                                                {{QStringLiteral("i"), code}})
                                          .toString();
                const Money price = Money::fromUnits(1000 + rnd.bounded(3000));
                addLine(lines, goods, goods, code, 1, price);
                total += price;
            } else {
                const int g = int(rnd.bounded(size.goods));
                const QString goods = QStringLiteral("G%1").arg(g, 5, 10, QLatin1Char('0'));
                const Money price = Money::fromUnits(isHandset(g) ? 800 + rnd.bounded(2000) : 5 + rnd.bounded(50));
                if (isHandset(g)) {
                    const QString code = QString::number(++imei);
                    addLine(lines, goods, goods, code, 1, price);
                    handsetsInStock.append({code, store});
                    total += price;
                } else {
                    const int amount = 1 + int(rnd.bounded(20));
                    addLine(lines, goods, goods, QString(), amount, price);
                    total += price * amount;
                }
            }
        }
        if (lines.isEmpty())
            continue;
        const QString partner = QStringLiteral("P%1").arg(int(rnd.bounded(size.partners)), 4, 10, QLatin1Char('0'));
        const QString clerk = QStringLiteral("E%1").arg(int(rnd.bounded(size.clerks)), 3, 10, QLatin1Char('0'));
        postGoodsBill(db, kind, bill(db, kind, when, partner, stores[store], clerk, total), lines, nullptr);
    }
}

void topUpPlainStock(Database &db, int units)
{
    // Accessories only: handsets are held with IMEIs and take no plain batches.
    const RowSet goods = db.query(QStringLiteral("SELECT MerchandiseID FROM Merchandise WHERE MerchandiseTypeID='002' ORDER BY MerchandiseID"));
    DataSet lines(&db);
    openLines(db, purchaseBill(), lines);
    Money total;
    for (int i = 0; i < goods.size(); ++i) {
        addLine(lines, goods.value(i, 0).toString(), goods.value(i, 0).toString(), QString(), units, Money::fromUnits(10));
        total += Money::fromUnits(10) * units;
    }
    const int store = int(sqlvalue::toInt(db.scalar(QStringLiteral("SELECT min(StorehouseID) FROM Storehouse"))));
    postGoodsBill(db, purchaseBill(), bill(db, purchaseBill(), QDateTime::currentDateTime(), QStringLiteral("P0000"), store,
                                           QStringLiteral("E000"), total),
                  lines, nullptr);
}
