#include "dataset.h"
#include "schema/schema.h"
#include "testdb.h"

#include <QSet>

class SchemaTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override { scratch = std::make_unique<ScratchDatabase>(GetParam()); }
    Database &db() { return scratch->db(); }
    int count(const QString &sql, const Params &p = {}) { return db().scalar(sql, p).toInt(); }
    void goods(const QString &id, const QVariant &config = {})
    {
        db().exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName) "
                                 "SELECT '001','手机' WHERE NOT EXISTS (SELECT 1 FROM MerchandiseType WHERE MerchandiseTypeID='001')"));
        db().exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseTypeID, MerchandiseName, MerchandiseConfigID) "
                                 "VALUES(:id,'001','机型',:c)"),
                  {{QStringLiteral("id"), id}, {QStringLiteral("c"), config}});
    }
    std::unique_ptr<ScratchDatabase> scratch;
};

TEST_P(SchemaTest, ANewDatabaseHoldsTheInitialRowsAndIsSound)
{
    EXPECT_TRUE(schema::check(db()).isEmpty()) << schema::check(db()).join(u'\n').toStdString();
    EXPECT_EQ(schema::storedVersion(db()), schema::Version);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Client WHERE ClientID IN ('1000','2000','3000')")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Client WHERE FactCost = 0 AND ClientUpper = 0")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM user_info WHERE purview_name = '超级用户'")), 1);

    // Every permission name has a row, in one of the five groups of the permission window.
    const QSet<QString> groups{QStringLiteral("设置"), QStringLiteral("物流"), QStringLiteral("钱流"), QStringLiteral("统计"),
                               QStringLiteral("工资")};
    const RowSet modules = db().query(QStringLiteral("SELECT module_name, p_class FROM p_module"));
    QSet<QString> names;
    for (int i = 0; i < modules.size(); ++i) {
        names << modules.value(i, 0).toString();
        EXPECT_TRUE(groups.contains(modules.value(i, 1).toString())) << modules.value(i, 0).toString().toStdString();
    }
    for (const char *n : {"权限设置", "颜色配置", "提成工资", "进货单", "提现、存款、转帐单", "维修单参数设置", "维修收入单",
                          "号码入库单", "号码销售统计", "零售价格表", "工资统计", "应收应付期初"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(n))) << n;
    EXPECT_FALSE(names.contains(QStringLiteral("颜色/配置")));
    EXPECT_FALSE(names.contains(QStringLiteral("提成统计")));
    EXPECT_EQ(names.size(), 66);
}

TEST_P(SchemaTest, AReferencedRowRefusesDeletion)
{
    goods(QStringLiteral("M1"));
    db().exec(QStringLiteral("INSERT INTO BuyMaster(OrderID, StorehouseID, ClientID) VALUES('00000001', 1, '2000')"));
    db().exec(QStringLiteral("INSERT INTO BuyDetail(OrderID, MerchandiseID, Amount) VALUES('00000001', 'M1', 1)"));
    struct Case {
        const char *sql;
    } refused[] = {
        {"DELETE FROM Storehouse WHERE StorehouseID = 1"},
        {"DELETE FROM Client WHERE ClientID = '2000'"},
        {"DELETE FROM Merchandise WHERE MerchandiseID = 'M1'"},
        {"DELETE FROM MerchandiseType WHERE MerchandiseTypeID = '001'"},
    };
    for (const Case &c : refused)
        EXPECT_THROW(db().exec(QString::fromUtf8(c.sql)), DbError) << c.sql;
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Storehouse")), 1);
    // The lines go with their bill.
    db().exec(QStringLiteral("DELETE FROM BuyMaster WHERE OrderID = '00000001'"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM BuyDetail")), 0);
    db().exec(QStringLiteral("DELETE FROM Merchandise WHERE MerchandiseID = 'M1'"));
}

TEST_P(SchemaTest, TheGoodsViewListsInsertsUpdatesAndDeletes)
{
    db().exec(QStringLiteral("INSERT INTO Config(ConfigName) VALUES('双卡')"));
    const int config = db().scalar(QStringLiteral("SELECT ConfigID FROM Config")).toInt();
    goods(QStringLiteral("BARE"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT ConfigName FROM MerchandiseInfo WHERE MerchandiseID='BARE'")).toString(), QString());

    DataSet ds(&db());
    ds.setSql(QStringLiteral("SELECT * FROM MerchandiseInfo ORDER BY MerchandiseID"));
    ds.setUpdateTable(QStringLiteral("MerchandiseInfo"), {QStringLiteral("MerchandiseID")},
                      {QStringLiteral("MerchandiseID"), QStringLiteral("MerchandiseTypeID"), QStringLiteral("MerchandiseName"),
                       QStringLiteral("Unit"), QStringLiteral("Magistral"), QStringLiteral("MerchandiseConfigID")});
    ds.open();
    ds.append();
    ds.setValue(QStringLiteral("MerchandiseID"), QStringLiteral("N1"));
    ds.setValue(QStringLiteral("MerchandiseTypeID"), QStringLiteral("001"));
    ds.setValue(QStringLiteral("MerchandiseName"), QStringLiteral("新机"));
    ds.setValue(QStringLiteral("Magistral"), true);
    ds.setValue(QStringLiteral("MerchandiseConfigID"), config);
    ds.post();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT MerchandiseName FROM Merchandise WHERE MerchandiseID='N1'")).toString(),
              QStringLiteral("新机"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT ConfigName FROM MerchandiseInfo WHERE MerchandiseID='N1'")).toString(),
              QStringLiteral("双卡"));

    ASSERT_TRUE(ds.locate(QStringLiteral("MerchandiseID"), QStringLiteral("BARE")));
    ds.setValue(QStringLiteral("Unit"), QStringLiteral("台"));
    ds.post();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT Unit FROM Merchandise WHERE MerchandiseID='BARE'")).toString(), QStringLiteral("台"));

    ds.remove();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Merchandise")), 1);
}

TEST_P(SchemaTest, StockKeysRefuseSecondCopies)
{
    goods(QStringLiteral("M1"));
    db().exec(QStringLiteral("INSERT INTO StockMaster(MerchandiseID, StorehouseID, StockAmount) VALUES('M1', 1, 1)"));
    EXPECT_THROW(db().exec(QStringLiteral("INSERT INTO StockMaster(MerchandiseID, StorehouseID) VALUES('M1', 1)")), DbError);
    const int head = db().scalar(QStringLiteral("SELECT RecordID FROM StockMaster")).toInt();
    db().exec(QStringLiteral("INSERT INTO StockDetail(OrderID, IMEI, Amount) VALUES(:h, '861234567890123', 1)"), {{QStringLiteral("h"), head}});
    EXPECT_THROW(db().exec(QStringLiteral("INSERT INTO StockDetail(OrderID, IMEI, Amount) VALUES(:h, '861234567890123', 1)"),
                           {{QStringLiteral("h"), head}}),
                 DbError);
    // Goods without IMEI may have many batches.
    for (int i = 0; i < 2; ++i)
        db().exec(QStringLiteral("INSERT INTO StockDetail(OrderID, IMEI, Amount) VALUES(:h, '', 3)"), {{QStringLiteral("h"), head}});
    // Number rows are keyed by type and warehouse.
    db().exec(QStringLiteral("INSERT INTO StockMaster(StorehouseID, NumberType) VALUES(1, '全球通')"));
    EXPECT_THROW(db().exec(QStringLiteral("INSERT INTO StockMaster(StorehouseID, NumberType) VALUES(1, '全球通')")), DbError);
}

TEST_P(SchemaTest, CheckReportsDamageAndUpgradeRepairsIt)
{
    db().execRaw(QStringLiteral("DROP TABLE ChangeMoneyDetail"));
    db().exec(QStringLiteral("DELETE FROM p_module WHERE module_name = '销售单'"));
    const QStringList problems = schema::check(db());
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.join(u'\n').contains(QLatin1String("ChangeMoneyDetail")));
    schema::upgrade(db());
    EXPECT_TRUE(schema::check(db()).isEmpty()) << schema::check(db()).join(u'\n').toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM p_module WHERE module_name = '销售单'")), 1);
    // Upgrading twice changes nothing.
    schema::upgrade(db());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Client")), 3);
}

TEST_P(SchemaTest, EnsureLeavesAnExistingDatabaseAlone)
{
    db().exec(QStringLiteral("INSERT INTO Color(ColorName) VALUES('黑')"));
    schema::ensure(db());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Color")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM user_info")), 1);
}

VELMORA_ON_BOTH_ENGINES(SchemaTest);

TEST(SchemaModel, ColumnKindsComeFromTheTables)
{
    EXPECT_EQ(schema::columnKind(QStringLiteral("Client"), QStringLiteral("factcost")), ColumnKind::Money);
    EXPECT_EQ(schema::columnKind(QString(), QStringLiteral("Magistral")), ColumnKind::Bool);
    EXPECT_EQ(schema::columnKind(QString(), QStringLiteral("SellDate")), ColumnKind::DateTime);
    EXPECT_EQ(schema::canonicalColumn(QStringLiteral("stockamount")), QStringLiteral("StockAmount"));
    EXPECT_EQ(schema::columnKind(QString(), QStringLiteral("OrderID")), ColumnKind::Text); // text in bills, a number in stock
    EXPECT_EQ(schema::columnKind(QStringLiteral("StockCost"), QStringLiteral("OrderID")), ColumnKind::Int);
    bool known = true;
    schema::columnKind(QString(), QStringLiteral("NoSuchColumn"), &known);
    EXPECT_FALSE(known);
}
