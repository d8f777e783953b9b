#pragma once
// A fresh database per test with goods and warehouses, and short readers of
// what the ledger holds for a goods in a warehouse.
#include "stock_ledger.h"
#include "testdb.h"

#include <ostream>
#include <vector>

inline void PrintTo(const Money &m, std::ostream *os) { *os << m.toString(4).toStdString(); }

inline Money M(const char *text) { return Money::parse(QString::fromLatin1(text)); }

struct RecordingWarnings : store::StockWarnings {
    QStringList texts;
    void stockWarning(const store::StockWarning &w) override { texts << w.text(); }
};

struct Batch {
    int amount;
    QString imei;
    bool operator==(const Batch &) const = default;
};
inline void PrintTo(const Batch &b, std::ostream *os) { *os << b.amount << "/" << b.imei.toStdString(); }

class StoreTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        scratch = std::make_unique<ScratchDatabase>(GetParam());
        shop = warehouse(QStringLiteral("门店"));
        depot = warehouse(QStringLiteral("仓库"));
        goods(QStringLiteral("G1"), QStringLiteral("甲"));
        goods(QStringLiteral("P1"), QStringLiteral("乙"));
    }
    Database &db() { return scratch->db(); }

    int warehouse(const QString &name)
    {
        return int(db().insertReturningId(QStringLiteral("INSERT INTO Storehouse(StorehouseName) VALUES(:n)"),
                                          {{QStringLiteral("n"), name}}, QStringLiteral("StorehouseID")));
    }
    void goods(const QString &id, const QString &name)
    {
        db().exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseName) VALUES(:id, :n)"),
                  {{QStringLiteral("id"), id}, {QStringLiteral("n"), name}});
    }
    int color(const QString &name)
    {
        return int(db().insertReturningId(QStringLiteral("INSERT INTO Color(ColorName) VALUES(:n)"),
                                          {{QStringLiteral("n"), name}}, QStringLiteral("ColorID")));
    }

    // Receipts as a bill save makes them: one transaction each.
    void receive(const QString &goodsId, int storeId, int amount, Money cost, const QString &imei = {},
                 store::StockWarnings *w = nullptr)
    {
        Transaction tx(db());
        store::PostStockIn(db(), {goodsId, storeId, imei, QString(), amount, 0, cost, name(goodsId)}, w);
        tx.commit();
    }
    Money issue(const QString &goodsId, int storeId, int amount, const QString &imei = {},
                const store::StockOutOptions &o = {}, store::StockWarnings *w = nullptr)
    {
        Transaction tx(db());
        const Money cost = store::PostStockOut(db(), {goodsId, storeId, imei, amount, name(goodsId)}, o, w);
        tx.commit();
        return cost;
    }
    static QString name(const QString &goodsId) { return goodsId == QLatin1String("G1") ? QStringLiteral("甲") : QStringLiteral("乙"); }

    QVariant head(const QString &goodsId, int storeId, const char *column)
    {
        return db().scalar(QStringLiteral("SELECT %1 FROM StockMaster WHERE MerchandiseID = :m AND StorehouseID = :s")
                               .arg(QLatin1String(column)),
                           {{QStringLiteral("m"), goodsId}, {QStringLiteral("s"), storeId}});
    }
    int stock(const QString &goodsId, int storeId) { return head(goodsId, storeId, "StockAmount").toInt(); }
    std::vector<Batch> batches(const QString &goodsId, int storeId)
    {
        const RowSet rs = db().query(QStringLiteral("SELECT SD.Amount, SD.IMEI FROM StockDetail SD JOIN StockMaster SM "
                                                    "ON SM.RecordID = SD.OrderID WHERE SM.MerchandiseID = :m "
                                                    "AND SM.StorehouseID = :s ORDER BY SD.RecordID"),
                                     {{QStringLiteral("m"), goodsId}, {QStringLiteral("s"), storeId}});
        std::vector<Batch> out;
        for (const QVariantList &r : rs.rows)
            out.push_back({r.at(0).toInt(), r.at(1).toString()});
        return out;
    }
    std::vector<Money> layers(const QString &goodsId, int storeId)
    {
        const RowSet rs = db().query(QStringLiteral("SELECT SC.InCost FROM StockCost SC JOIN StockMaster SM "
                                                    "ON SM.RecordID = SC.OrderID WHERE SM.MerchandiseID = :m "
                                                    "AND SM.StorehouseID = :s ORDER BY SC.RecordID"),
                                     {{QStringLiteral("m"), goodsId}, {QStringLiteral("s"), storeId}});
        std::vector<Money> out;
        for (const QVariantList &r : rs.rows)
            out.push_back(Money::fromVariant(r.at(0)));
        return out;
    }

    std::unique_ptr<ScratchDatabase> scratch;
    int shop = 0, depot = 0;
};
