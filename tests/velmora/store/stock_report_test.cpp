#include "stock_report.h"
#include "store_fixture.h"

using namespace store;

class StockReportTest : public StoreTest {};

TEST_P(StockReportTest, DetailRowsArePairedWithLayersByPosition)
{
    const int red = color(QStringLiteral("红"));
    {
        Transaction tx(db());
        PostStockIn(db(), {QStringLiteral("G1"), shop, {}, QStringLiteral("s1"), 3, red, M("100"), QStringLiteral("甲")});
        PostStockIn(db(), {QStringLiteral("G1"), shop, {}, {}, 4, 0, M("120"), QStringLiteral("甲")});
        for (const char *imei : {"X", "Y", "Z"})
            PostStockIn(db(), {QStringLiteral("P1"), depot, QString::fromLatin1(imei), {}, 1, 0,
                               M(imei[0] == 'X' ? "50" : imei[0] == 'Y' ? "60" : "70"), QStringLiteral("乙")});
        PostStockOut(db(), {QStringLiteral("P1"), depot, QStringLiteral("Y"), 1, QStringLiteral("乙")}); // layer 50 goes
        tx.commit();
    }
    db().exec(QStringLiteral("UPDATE StockDetail SET Cost = 199.5, CounterCost = 180 WHERE IMEI = 'Z'"));
    // A number row: a batch without any layer.
    const qlonglong numberHead = db().insertReturningId(
        QStringLiteral("INSERT INTO StockMaster(StorehouseID, NumberType) VALUES(:s, '神州行')"), {{QStringLiteral("s"), shop}},
        QStringLiteral("RecordID"));
    db().exec(QStringLiteral("INSERT INTO StockDetail(OrderID, IMEI, SN) VALUES(:o, '13900000000', '')"),
              {{QStringLiteral("o"), numberHead}});

    CreateStockDetail(db());
    CreateStockDetail(db()); // a rebuild replaces, never adds

    const RowSet rs = db().query(QStringLiteral(
        "SELECT F.IMEI, F.Amount, F.ColorName, F.InCost, F.RecordID1, F.Cost, F.CounterCost, "
        "(SELECT CAST(SC.RecordID AS VARCHAR(10)) FROM StockCost SC WHERE SC.InCost = F.InCost AND SC.OrderID = F.OrderID) "
        "FROM StockDetailFull F JOIN StockDetail SD ON SD.RecordID = F.RecordID AND SD.OrderID = F.OrderID "
        "ORDER BY F.RecordID"));
    struct Row {
        const char *imei;
        int amount;
        const char *color;
        const char *inCost; // nullptr: no layer
        const char *cost, *counter;
    };
    const Row expected[] = {
        {"", 3, "红", "100", "0", "0"},
        {"", 4, "", "120", "0", "0"},
        {"X", 1, "", "60", "0", "0"}, // the oldest handset left takes the oldest layer left
        {"Z", 1, "", "70", "199.5", "180"},
        {"13900000000", 1, "", nullptr, "0", "0"},
    };
    ASSERT_EQ(rs.size(), int(std::size(expected)));
    for (int i = 0; i < rs.size(); ++i) {
        const Row &e = expected[i];
        SCOPED_TRACE(e.imei);
        EXPECT_EQ(rs.value(i, 0).toString(), QString::fromLatin1(e.imei));
        EXPECT_EQ(rs.value(i, 1).toInt(), e.amount);
        EXPECT_EQ(rs.value(i, 2).toString(), QString::fromUtf8(e.color));
        EXPECT_EQ(Money::fromVariant(rs.value(i, 5)), M(e.cost));
        EXPECT_EQ(Money::fromVariant(rs.value(i, 6)), M(e.counter));
        if (e.inCost) {
            EXPECT_EQ(Money::fromVariant(rs.value(i, 3)), M(e.inCost));
            EXPECT_EQ(rs.value(i, 4).toString(), rs.value(i, 7).toString()); // RecordID1 names that layer
            EXPECT_FALSE(rs.value(i, 4).toString().isEmpty());
        } else {
            EXPECT_TRUE(rs.value(i, 3).isNull());
            EXPECT_TRUE(rs.value(i, 4).isNull());
        }
    }
}

TEST_P(StockReportTest, StatusViewsShowEveryHeadAndDetailRow)
{
    const int red = color(QStringLiteral("红"));
    db().exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName) VALUES('001', '手机')"));
    const qlonglong cfg = db().insertReturningId(QStringLiteral("INSERT INTO Config(ConfigName) VALUES('标配')"), {},
                                                 QStringLiteral("ConfigID"));
    db().exec(QStringLiteral("UPDATE Merchandise SET MerchandiseTypeID = '001', MerchandiseConfigID = :c, Magistral = 1, "
                             "Unit = '台' WHERE MerchandiseID = 'P1'"),
              {{QStringLiteral("c"), cfg}});
    {
        Transaction tx(db());
        PostStockIn(db(), {QStringLiteral("P1"), shop, QStringLiteral("X"), {}, 1, red, M("50"), QStringLiteral("乙")});
        PostStockIn(db(), {QStringLiteral("G1"), shop, {}, {}, 2, 0, M("5"), QStringLiteral("甲")});
        tx.commit();
    }
    db().exec(QStringLiteral("INSERT INTO StockMaster(StorehouseID, NumberType) VALUES(:s, '神州行')"),
              {{QStringLiteral("s"), shop}});

    const RowSet s = db().query(QStringLiteral(
        "SELECT MerchandiseID, MerchandiseName, Unit, ConfigName, MerchandiseTypeName, StockAmount, Magistral, Remind, "
        "NumberType, StorehouseID, StockUpper, StockLower, Rate, Spec, ProducingArea, Rank, Remark, RecordID "
        "FROM StockStatus ORDER BY RecordID"));
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(s.value(0, 1).toString(), QStringLiteral("乙"));
    EXPECT_EQ(s.value(0, 2).toString(), QStringLiteral("台"));
    EXPECT_EQ(s.value(0, 3).toString(), QStringLiteral("标配"));
    EXPECT_EQ(s.value(0, 4).toString(), QStringLiteral("手机"));
    EXPECT_EQ(s.value(0, 6).toInt(), 1);
    EXPECT_EQ(s.value(1, 5).toInt(), 2);
    EXPECT_EQ(s.value(1, 6).toInt(), 0);
    EXPECT_TRUE(s.value(1, 8).isNull()); // goods rows have no number type
    EXPECT_EQ(s.value(2, 8).toString(), QStringLiteral("神州行"));
    EXPECT_EQ(s.value(2, 9).toInt(), shop);

    const RowSet d = db().query(QStringLiteral("SELECT IMEI FROM StockStatusDetail ORDER BY IMEI"));
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d.value(1, 0).toString(), QStringLiteral("X"));
    const RowSet c = db().query(QStringLiteral("SELECT ColorName FROM StockStatusDetail1 ORDER BY OrderID"));
    ASSERT_EQ(c.size(), 2);
    EXPECT_EQ(c.value(0, 0).toString(), QStringLiteral("红"));
    EXPECT_TRUE(c.value(1, 0).isNull());
}

VELMORA_ON_BOTH_ENGINES(StockReportTest);
