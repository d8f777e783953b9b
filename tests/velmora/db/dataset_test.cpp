#include "dataset.h"
#include "dataset_model.h"
#include "testdb.h"

class DataSetTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        scratch = std::make_unique<ScratchDatabase>(GetParam());
        db().exec(QStringLiteral("DELETE FROM Storehouse")); // the initial shop front
        for (const char *name : {"北仓", "南仓"})
            db().exec(QStringLiteral("INSERT INTO Storehouse(StorehouseName) VALUES(:n)"), {{QStringLiteral("n"), QString::fromUtf8(name)}});
    }
    Database &db() { return scratch->db(); }
    int count(const QString &table) { return db().scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt(); }

    std::unique_ptr<DataSet> storehouses()
    {
        auto ds = std::make_unique<DataSet>(&db());
        ds->setSql(QStringLiteral("SELECT * FROM Storehouse ORDER BY StorehouseID"));
        ds->setUpdateTable(QStringLiteral("Storehouse"), {});
        ds->open();
        return ds;
    }
    std::unique_ptr<ScratchDatabase> scratch;
};

TEST_P(DataSetTest, OpensWithCanonicalNamesAndMovesThroughRows)
{
    auto ds = storehouses();
    ASSERT_EQ(ds->recordCount(), 2);
    EXPECT_EQ(ds->fields()[0].name, QStringLiteral("StorehouseID"));
    EXPECT_EQ(ds->state(), DataSet::State::Browse);
    EXPECT_EQ(ds->text(QStringLiteral("storehousename")), QStringLiteral("北仓"));
    ds->next();
    EXPECT_EQ(ds->text(QStringLiteral("StorehouseName")), QStringLiteral("南仓"));
    EXPECT_FALSE(ds->eof());
    ds->next();
    EXPECT_TRUE(ds->eof());
    EXPECT_EQ(ds->recNo(), 1);
    ds->first();
    EXPECT_TRUE(ds->locate(QStringLiteral("StorehouseName"), QStringLiteral("南仓")));
    EXPECT_EQ(ds->recNo(), 1);
}

TEST_P(DataSetTest, PostWritesAtOnceOutsideBatchMode)
{
    auto ds = storehouses();
    ds->append();
    EXPECT_EQ(ds->state(), DataSet::State::Insert);
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("东仓"));
    ds->post();
    EXPECT_EQ(ds->state(), DataSet::State::Browse);
    EXPECT_GT(ds->integer(QStringLiteral("StorehouseID")), 2); // identity came back
    EXPECT_EQ(count(QStringLiteral("Storehouse")), 3);

    ds->first();
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("北仓一"));
    EXPECT_EQ(ds->state(), DataSet::State::Edit);
    ds->post();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT StorehouseName FROM Storehouse WHERE StorehouseID = :i"),
                          {{QStringLiteral("i"), ds->integer(QStringLiteral("StorehouseID"))}})
                  .toString(),
              QStringLiteral("北仓一"));

    ds->remove();
    EXPECT_EQ(count(QStringLiteral("Storehouse")), 2);
    EXPECT_EQ(ds->recordCount(), 2);
}

TEST_P(DataSetTest, CancelRestoresAndDiscards)
{
    auto ds = storehouses();
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("changed"));
    ds->cancel();
    EXPECT_EQ(ds->text(QStringLiteral("StorehouseName")), QStringLiteral("北仓"));
    ds->append();
    ds->cancel();
    EXPECT_EQ(ds->recordCount(), 2);
    EXPECT_EQ(count(QStringLiteral("Storehouse")), 2);
}

TEST_P(DataSetTest, BeforePostRefusesAndNewRecordSetsDefaults)
{
    auto ds = storehouses();
    ds->onNewRecord = [](DataSet &d) { d.setValue(QStringLiteral("StorehouseName"), QStringLiteral("新仓库")); };
    ds->beforePost = [](DataSet &d) {
        if (d.text(QStringLiteral("StorehouseName")).trimmed().isEmpty())
            throw AbortError();
    };
    ds->append();
    EXPECT_EQ(ds->text(QStringLiteral("StorehouseName")), QStringLiteral("新仓库"));
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("  "));
    EXPECT_THROW(ds->post(), AbortError);
    EXPECT_EQ(ds->state(), DataSet::State::Insert); // still there for correction
    EXPECT_EQ(count(QStringLiteral("Storehouse")), 2);
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("西仓"));
    ds->post();
    EXPECT_EQ(count(QStringLiteral("Storehouse")), 3);
}

TEST_P(DataSetTest, BatchModeKeepsEverythingUntilOneWrite)
{
    auto ds = storehouses();
    ds->setBatchMode(true);
    ds->append();
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("东仓"));
    ds->post();
    ds->first();
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("北仓改"));
    ds->post();
    ds->next();
    ds->remove(); // 南仓
    EXPECT_TRUE(ds->hasPendingUpdates());
    EXPECT_EQ(count(QStringLiteral("Storehouse")), 2);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM Storehouse WHERE StorehouseName='南仓'")).toInt(), 1);

    ds->applyUpdates();
    EXPECT_FALSE(ds->hasPendingUpdates());
    const RowSet rs = db().query(QStringLiteral("SELECT StorehouseName FROM Storehouse ORDER BY StorehouseID"));
    ASSERT_EQ(rs.size(), 2);
    EXPECT_EQ(rs.value(0, 0).toString(), QStringLiteral("北仓改"));
    EXPECT_EQ(rs.value(1, 0).toString(), QStringLiteral("东仓"));
}

TEST_P(DataSetTest, CancelUpdatesBringsBackTheRowsAsRead)
{
    auto ds = storehouses();
    ds->setBatchMode(true);
    ds->append();
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("东仓"));
    ds->first();
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("x"));
    ds->last();
    ds->remove();
    ds->cancelUpdates();
    EXPECT_EQ(ds->recordCount(), 2);
    EXPECT_FALSE(ds->hasPendingUpdates());
    EXPECT_TRUE(ds->locate(QStringLiteral("StorehouseName"), QStringLiteral("北仓")));
    EXPECT_TRUE(ds->locate(QStringLiteral("StorehouseName"), QStringLiteral("南仓")));
}

TEST_P(DataSetTest, AFailedBatchWriteLeavesNothingAndKeepsTheCache)
{
    db().exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName) VALUES('001','手机')"));
    db().exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseTypeID, MerchandiseName) VALUES('M1','001','甲')"));
    db().exec(QStringLiteral("INSERT INTO BuyMaster(OrderID, StorehouseID) SELECT '00000001', min(StorehouseID) FROM Storehouse"));
    DataSet lines(&db());
    lines.setSql(QStringLiteral("SELECT * FROM BuyDetail WHERE OrderID = :o"));
    lines.setParam(QStringLiteral("o"), QStringLiteral("00000001"));
    lines.setUpdateTable(QStringLiteral("BuyDetail"), {});
    lines.setBatchMode(true);
    lines.open();
    lines.append();
    lines.setValue(QStringLiteral("OrderID"), QStringLiteral("00000001"));
    lines.setValue(QStringLiteral("MerchandiseID"), QStringLiteral("M1"));
    lines.setValue(QStringLiteral("Amount"), 2);
    lines.setValue(QStringLiteral("Cost"), QStringLiteral("10.5"));
    lines.append();
    lines.setValue(QStringLiteral("OrderID"), QStringLiteral("00000001"));
    lines.setValue(QStringLiteral("MerchandiseID"), QStringLiteral("NO-SUCH-GOODS"));
    lines.post();
    EXPECT_THROW(lines.applyUpdates(), DbError);
    EXPECT_EQ(count(QStringLiteral("BuyDetail")), 0);
    EXPECT_EQ(lines.recordCount(), 2);
    EXPECT_TRUE(lines.hasPendingUpdates());
    EXPECT_TRUE(lines.valueAt(0, lines.fieldIndex(QStringLiteral("RecordID"))).isNull());

    lines.last();
    lines.setValue(QStringLiteral("MerchandiseID"), QStringLiteral("M1"));
    lines.applyUpdates();
    EXPECT_EQ(count(QStringLiteral("BuyDetail")), 2);
    EXPECT_EQ(Money::fromVariant(db().scalar(QStringLiteral("SELECT sum(Cost) FROM BuyDetail"))), Money::parse(QStringLiteral("10.5")));
}

TEST_P(DataSetTest, CalculatedLineNumbersAndTheGridModel)
{
    DataSet ds(&db());
    ds.setSql(QStringLiteral("SELECT * FROM Storehouse ORDER BY StorehouseID"));
    ds.setUpdateTable(QStringLiteral("Storehouse"), {});
    ds.addCalculatedField(QStringLiteral("LineID"), QStringLiteral("序号"));
    ds.onCalcFields = [](DataSet &d, int row) { d.setValueAt(row, d.fieldIndex(QStringLiteral("LineID")), row + 1); };
    ds.open();
    ds.field(QStringLiteral("StorehouseID")).visible = false;
    ds.field(QStringLiteral("StorehouseName")).displayLabel = QStringLiteral("仓库名称");
    DataSetModel model(&ds);
    model.rebuild();
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("仓库名称"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("序号"));
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("2"));
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);

    ds.append();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(2, 1), Qt::DisplayRole).toString(), QStringLiteral("3"));
    EXPECT_TRUE(model.setData(model.index(2, 0), QStringLiteral("东仓"), Qt::EditRole));
    ds.post();
    EXPECT_EQ(count(QStringLiteral("Storehouse")), 3);

    model.setEditable(false);
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("x"), Qt::EditRole));
}

TEST_P(DataSetTest, AmountsBooleansAndDatesShowAsTheWindowsWant)
{
    db().exec(QStringLiteral("INSERT INTO Client(ClientID, ClientName, CostType, Cost, CreateDate) VALUES('C1','甲', 1, 1234.5, :d)"),
              {{QStringLiteral("d"), QDate(2026, 1, 2)}});
    DataSet ds(&db());
    ds.setSql(QStringLiteral("SELECT ClientID, CostType, Cost, CreateDate FROM Client WHERE ClientID='C1'"));
    ds.open();
    EXPECT_EQ(ds.money(QStringLiteral("Cost")), Money::parse(QStringLiteral("1234.5")));
    EXPECT_EQ(ds.displayText(0, ds.fieldIndex(QStringLiteral("Cost"))), QStringLiteral("1,234.50"));
    EXPECT_EQ(ds.displayText(0, ds.fieldIndex(QStringLiteral("CostType"))), QStringLiteral("是"));
    ds.field(QStringLiteral("CostType")).displayFormat = QStringLiteral("应收;应付");
    EXPECT_EQ(ds.displayText(0, ds.fieldIndex(QStringLiteral("CostType"))), QStringLiteral("应收"));
    EXPECT_EQ(ds.displayText(0, ds.fieldIndex(QStringLiteral("CreateDate"))), QStringLiteral("2026-01-02"));
}

TEST_P(DataSetTest, ARowChangedElsewhereIsNotOverwrittenSilently)
{
    auto ds = storehouses();
    db().exec(QStringLiteral("DELETE FROM Storehouse WHERE StorehouseName = '北仓'"));
    ds->setValue(QStringLiteral("StorehouseName"), QStringLiteral("x"));
    EXPECT_THROW(ds->post(), DbError);
    EXPECT_EQ(ds->state(), DataSet::State::Edit);
}

VELMORA_ON_BOTH_ENGINES(DataSetTest);
