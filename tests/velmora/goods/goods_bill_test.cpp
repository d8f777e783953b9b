#include "bill_dialogs.h"
#include "dataset.h"
#include "dbgrid.h"
#include "goods_bill_window.h"
#include "report_preview.h"
#include "small_dialogs.h"
#include "testapp.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

class GoodsBillTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        app = std::make_unique<TestApp>(GetParam());
        Database &db = app->db();
        db.exec(QStringLiteral("INSERT INTO Storehouse(StorehouseName) VALUES('二仓')"));
        db.exec(QStringLiteral("INSERT INTO CompanyConstruction(DepartID, DepartName) VALUES('001','门市部')"));
        db.exec(QStringLiteral("INSERT INTO Clerk(ClerkID, ClerkName, Pass, DepartID) VALUES('E1','张三','1','001'),('E2','李四','2','001')"));
        db.exec(QStringLiteral("INSERT INTO Client(ClientID, ClientTypeID, ClientName, CostType, FactCost, ClientUpper) VALUES"
                               "('S1','01','供应商甲',0,0,0),('K1','02','客户乙',1,200,0)"));
        db.exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName) VALUES('001','手机')"));
        db.exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseTypeID, MerchandiseName, Unit) VALUES"
                               "('PHONE','001','甲机','台'),('CABLE','001','数据线','根')"));
        // Report templates beside the program.
        QDir(app->dir.path()).mkpath(QStringLiteral("report"));
        for (const char *name : {"Goods_stock_form.html", "Goods_sell.html"})
            QFile::copy(QStringLiteral(VELMORA_REPORT_DIR "/") + QString::fromLatin1(name),
                        app->dir.filePath(QStringLiteral("report/")) + QString::fromLatin1(name));
    }
    int count(const QString &sql) { return app->db().scalar(sql).toInt(); }
    Money money(const QString &sql) { return Money::fromVariant(app->db().scalar(sql)); }

    // Queues the answers a save asks: 是否保存? and, when asked, the handler's password.
    void answerSave(const QString &password = {})
    {
        app->dialogs.onDialog([](QDialog *) { return int(QDialog::Accepted); });
        if (!password.isNull())
            app->dialogs.onDialog([password](QDialog *d) {
                auto *p = static_cast<TFInput_password *>(d);
                p->Edit1->setText(password);
                QTest::mouseClick(p->Button1, Qt::LeftButton);
                return -1;
            });
    }
    void line(TFGoodsBill &bill, const char *goods, int amount, const char *price, const char *imei = "")
    {
        bill.appendLine(QString::fromLatin1(goods));
        DataSet *l = bill.lines();
        if (*imei)
            l->setValue(QStringLiteral("IMEI"), QString::fromLatin1(imei));
        else
            l->setValue(QStringLiteral("Amount"), amount);
        l->setValue(QStringLiteral("Cost"), QString::fromLatin1(price));
    }
    std::unique_ptr<TFGoods_stock_form> purchase(const char *supplier = "供应商甲")
    {
        auto w = std::make_unique<TFGoods_stock_form>(app->ctx);
        w->Edit1->setText(QString::fromUtf8(supplier));
        return w;
    }
    // Stock to sell from: a purchase of the given lines into 门市.
    void stockUp(const std::function<void(TFGoodsBill &)> &lines)
    {
        auto w = purchase();
        lines(*w);
        answerSave(QStringLiteral("1"));
        ASSERT_TRUE(w->save());
    }
    std::unique_ptr<TestApp> app;
};

TEST_P(GoodsBillTest, APurchaseMakesBatchesAndPaidInFullLeavesTheSupplierAlone)
{
    auto w = purchase();
    EXPECT_EQ(w->Enumber->text(), QStringLiteral("00000001"));
    EXPECT_EQ(w->ComboBox2->currentText(), QStringLiteral("张三"));
    line(*w, "CABLE", 3, "10");
    line(*w, "CABLE", 4, "12");
    EXPECT_EQ(w->NumEdit1->text(), QStringLiteral("78.00")); // the settled amount follows the total
    EXPECT_EQ(w->Label11->text(), QStringLiteral("0.00"));
    answerSave(QStringLiteral("1"));
    ASSERT_TRUE(w->save());
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("单据保存成功。"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM BuyDetail WHERE OrderID='00000001'")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM StockDetail")), 2);
    const RowSet layers = app->db().query(QStringLiteral("SELECT InCost FROM StockCost ORDER BY RecordID"));
    ASSERT_EQ(layers.size(), 2);
    EXPECT_EQ(Money::fromVariant(layers.value(0, 0)), Money::fromUnits(10)); // in line order
    EXPECT_EQ(money(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID='S1'")), Money());
    EXPECT_EQ(money(QStringLiteral("SELECT Cost FROM BuyMaster")), Money::fromUnits(78));
    // Reset for the next bill, keeping header choices.
    EXPECT_EQ(w->Enumber->text(), QStringLiteral("00000002"));
    EXPECT_EQ(w->lines()->recordCount(), 0);
    EXPECT_EQ(w->Edit1->text(), QStringLiteral("供应商甲"));
}

TEST_P(GoodsBillTest, AnEmptiedSettledAmountSavesZeroAndOwesTheWhole)
{
    auto w = purchase();
    line(*w, "CABLE", 2, "50");
    w->NumEdit1->clear();
    answerSave(QStringLiteral("1"));
    ASSERT_TRUE(w->save());
    EXPECT_EQ(money(QStringLiteral("SELECT Cost FROM BuyMaster")), Money());
    EXPECT_EQ(money(QStringLiteral("SELECT TotalCost FROM BuyMaster")), Money::fromUnits(100));
    EXPECT_EQ(money(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID='S1'")), Money::fromUnits(100)); // payable grows
}

TEST_P(GoodsBillTest, TheHandlersPasswordIsAskedOnceUntilTheHandlerChanges)
{
    auto w = purchase();
    line(*w, "CABLE", 1, "5");
    answerSave(QStringLiteral("1"));
    ASSERT_TRUE(w->save());
    line(*w, "CABLE", 1, "5");
    answerSave(); // no password this time
    ASSERT_TRUE(w->save());
    EXPECT_FALSE(app->dialogs.dialogsShown.contains(QStringLiteral("TFInput_password")) &&
                 app->dialogs.dialogsShown.count(QStringLiteral("TFInput_password")) > 1);

    w->ComboBox2->setEditText(QStringLiteral("E2"));
    w->resolveClerk();
    EXPECT_EQ(w->ComboBox2->currentText(), QStringLiteral("李四"));
    EXPECT_EQ(app->ctx.vars.CurClerkID, QStringLiteral("E2"));
    line(*w, "CABLE", 1, "5");
    answerSave(QStringLiteral("1")); // 张三's password is wrong for 李四
    app->dialogs.onUnexpected = nullptr;
    EXPECT_FALSE(w->save());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM BuyMaster")), 2);
    answerSave(QStringLiteral("2"));
    EXPECT_TRUE(w->save());
    EXPECT_EQ(app->db().scalar(QStringLiteral("SELECT ClerkID FROM BuyMaster WHERE OrderID='00000003'")).toString(), QStringLiteral("E2"));
}

TEST_P(GoodsBillTest, HeaderChecksStopTheSaveInOrder)
{
    auto w = purchase("");
    answerSave(QStringLiteral("1"));
    EXPECT_FALSE(w->save());
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("请选择供应商，便于应收应付统计。"));
    w->Edit1->setText(QStringLiteral("供应商甲"));
    answerSave(QStringLiteral("1")); // asked again: only a saved bill clears the need
    EXPECT_FALSE(w->save());
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("请输入商品资料。"));
    w->Edit1->setText(QStringLiteral("没有的供应商"));
    line(*w, "CABLE", 1, "5");
    answerSave(QStringLiteral("1"));
    EXPECT_FALSE(w->save());
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("往来单位中没有该供应商。"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM BuyMaster")), 0);
}

TEST_P(GoodsBillTest, ALineBeingEditedWithNoQuantityIsDroppedSilently)
{
    auto w = purchase();
    line(*w, "CABLE", 2, "5");
    w->appendLine(QStringLiteral("CABLE")); // quantity still empty
    answerSave(QStringLiteral("1"));
    ASSERT_TRUE(w->save());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM BuyDetail")), 1);
    EXPECT_FALSE(app->dialogs.texts().contains(QStringLiteral("商品名称及数量不能为空。")));
}

TEST_P(GoodsBillTest, ImeiRulesHoldAtEntry)
{
    stockUp([this](TFGoodsBill &b) {
        line(b, "PHONE", 1, "900", "860000000000001");
        line(b, "CABLE", 5, "10");
    });
    struct Case {
        const char *goods, *imei, *refusal;
    } cases[] = {
        {"PHONE", "860000000000001", "库存中已经有该IMEI号。"},
        {"PHONE", "", "该商品必需有IMEI号。"},
        {"CABLE", "123456", "该商品不能有IMEI号。"},
    };
    auto w = purchase();
    for (const Case &c : cases) {
        line(*w, c.goods, 1, "1", c.imei);
        if (!*c.imei)
            w->lines()->setValue(QStringLiteral("Amount"), 1);
        EXPECT_THROW(w->lines()->post(), AbortError) << c.goods << c.imei;
        EXPECT_EQ(app->dialogs.lastText().toStdString(), c.refusal);
        EXPECT_EQ(w->lines()->state(), DataSet::State::Insert); // kept for correction
        EXPECT_EQ(w->grid()->currentField(), QStringLiteral("IMEI"));
        w->lines()->cancel();
    }
    // A new IMEI of an IMEI goods is fine, and sets the quantity to 1.
    line(*w, "PHONE", 0, "900", "860000000000002");
    EXPECT_EQ(w->lines()->integer(QStringLiteral("Amount")), 1);
    EXPECT_NO_THROW(w->lines()->post());
}

TEST_P(GoodsBillTest, ASaleOfAnImeiHeldInAnotherWarehouseIsRefusedAtSave)
{
    stockUp([this](TFGoodsBill &b) { line(b, "PHONE", 1, "900", "860000000000001"); });
    TFGoods_sell w(app->ctx);
    w.Edit1->setText(QStringLiteral("客户乙"));
    w.ComboBox1->setCurrentText(QStringLiteral("二仓"));
    line(w, "PHONE", 1, "1200", "860000000000001");
    answerSave(QStringLiteral("1"));
    EXPECT_FALSE(w.save());
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("库存中没有商品名称为甲机,IMEI号为860000000000001 的商品。"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SellMaster")), 0);
    EXPECT_EQ(w.lines()->recordCount(), 1);
}

TEST_P(GoodsBillTest, SellingMoreThanIsOnHandChangesNothing)
{
    stockUp([this](TFGoodsBill &b) { line(b, "CABLE", 2, "10"); });
    TFGoods_sell w(app->ctx);
    w.Edit1->setText(QStringLiteral("客户乙"));
    line(w, "CABLE", 3, "15");
    w.NumEdit1->clear();
    answerSave(QStringLiteral("1"));
    EXPECT_FALSE(w.save());
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("库存商品数据线的数量少于发货数量。"));
    EXPECT_EQ(count(QStringLiteral("SELECT StockAmount FROM StockMaster")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT sum(Amount) FROM StockDetail")), 2);
    EXPECT_EQ(money(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID='K1'")), Money::fromUnits(200));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SellMaster")) + count(QStringLiteral("SELECT count(*) FROM SellDetail")), 0);
    EXPECT_EQ(w.lines()->recordCount(), 1);
    EXPECT_TRUE(w.lines()->hasPendingUpdates());
}

TEST_P(GoodsBillTest, ASaleStoresTheCostOfItsLayersAndPostsTheOpenAmount)
{
    stockUp([this](TFGoodsBill &b) {
        line(b, "CABLE", 3, "100");
        line(b, "CABLE", 4, "120");
    });
    TFGoods_sell w(app->ctx);
    w.Edit1->setText(QStringLiteral("客户乙"));
    line(w, "CABLE", 5, "150"); // 750
    w.lines()->setValue(QStringLiteral("ClerkID"), QStringLiteral("E2"));
    w.NumEdit1->selectAll();
    QTest::keyClicks(w.NumEdit1, QStringLiteral("350"));
    EXPECT_EQ(w.Label11->text(), QStringLiteral("400.00"));
    w.appendLine(QStringLiteral("CABLE"));
    EXPECT_EQ(w.lines()->text(QStringLiteral("ClerkID")), QStringLiteral("E2")); // the salesperson carries on
    w.lines()->cancel();
    answerSave(QStringLiteral("1"));
    ASSERT_TRUE(w.save());
    EXPECT_EQ(money(QStringLiteral("SELECT InCost FROM SellDetail")), Money::fromUnits(540));
    EXPECT_EQ(money(QStringLiteral("SELECT TotalCost FROM SellMaster")), Money::fromUnits(400));
    EXPECT_EQ(money(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID='K1'")), Money::fromUnits(600)); // 200 + 400
    EXPECT_EQ(count(QStringLiteral("SELECT StockAmount FROM StockMaster")), 2);
}

TEST_P(GoodsBillTest, TheCreditLimitAsksAndCancelStops)
{
    app->db().exec(QStringLiteral("UPDATE Client SET ClientUpper=5000, FactCost=4800 WHERE ClientID='K1'"));
    stockUp([this](TFGoodsBill &b) { line(b, "CABLE", 10, "1"); });
    TFGoods_sell w(app->ctx);
    w.Edit1->setText(QStringLiteral("客户乙"));
    line(w, "CABLE", 3, "100");
    w.NumEdit1->selectAll();
    QTest::keyClicks(w.NumEdit1, QStringLiteral("0")); // 300 left owing: over the limit
    answerSave(QStringLiteral("1"));
    app->dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(w.save());
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("金额已经超过往来限额，是否继续？"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SellMaster")), 0);

    w.NumEdit1->selectAll();
    QTest::keyClicks(w.NumEdit1, QStringLiteral("100")); // exactly 200 left: within the limit, no question
    answerSave(QStringLiteral("1")); // not saved yet: the password is asked again
    const int asked = int(app->dialogs.asked.size());
    ASSERT_TRUE(w.save());
    EXPECT_EQ(app->dialogs.asked.size(), asked + 1); // only 单据保存成功。
    EXPECT_EQ(money(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID='K1'")), Money::fromUnits(5000));
}

TEST_P(GoodsBillTest, APrintedBillShowsItsAmountInCapitalFigures)
{
    auto w = purchase();
    line(*w, "CABLE", 1, "123.45");
    QString text;
    app->dialogs.onDialog([&text](QDialog *d) {
        text = static_cast<TFfrPrview *>(d)->report()->document().toPlainText();
        return int(QDialog::Accepted);
    });
    w->print();
    EXPECT_TRUE(text.contains(QStringLiteral("壹佰贰拾叁元肆角伍分"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("数据线")));
    EXPECT_TRUE(text.contains(QStringLiteral("已付")));
}

TEST_P(GoodsBillTest, BatchEntryAddsOneHandsetAfterAnother)
{
    auto w = purchase();
    TFAddGoodsLines dlg(app->ctx, *w);
    dlg.GoodsID->setText(QStringLiteral("PHONE"));
    dlg.goodsChanged();
    EXPECT_EQ(dlg.GoodsName->text(), QStringLiteral("甲机"));
    dlg.Price->setText(QStringLiteral("880"));
    for (const char *imei : {"860000000000011", "860000000000012"}) {
        dlg.IMEI->setText(QString::fromLatin1(imei));
        EXPECT_TRUE(dlg.confirm());
        EXPECT_TRUE(dlg.IMEI->text().isEmpty());
    }
    dlg.IMEI->setText(QStringLiteral("860000000000011")); // twice in one bill: the database refuses at save
    EXPECT_EQ(w->lines()->recordCount(), 2);
    EXPECT_EQ(w->total(), Money::fromUnits(1760));
    dlg.GoodsID->setText(QStringLiteral("NOPE"));
    dlg.goodsChanged();
    EXPECT_FALSE(dlg.confirm());
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("商品名称不能为空。"));
}

TEST_P(GoodsBillTest, TheBuyerDialogKeepsANewBuyer)
{
    TFSell_client_data dlg(app->ctx, QVariant());
    dlg.confirm();
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("请输入顾客名称。"));
    dlg.BuyerName->setText(QStringLiteral("王五"));
    dlg.Phone->setText(QStringLiteral("13800000000"));
    dlg.confirm();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_FALSE(dlg.buyerId().isNull());
    EXPECT_EQ(app->db().scalar(QStringLiteral("SELECT BuyerName FROM Buyer WHERE BuyerID=:i"), {{QStringLiteral("i"), dlg.buyerId()}}).toString(),
              QStringLiteral("王五"));
}

TEST_P(GoodsBillTest, HandsetsBoughtByImeiAreSoldWithSalespersonAndBuyer)
{
    QStringList printed;
    auto preview = [&printed](QDialog *d) {
        printed << static_cast<TFfrPrview *>(d)->report()->document().toPlainText();
        return int(QDialog::Accepted);
    };
    // Buy three handsets: one line typed, two by batch entry; 300 left owing.
    auto buy = purchase();
    line(*buy, "PHONE", 1, "1000", "860000000000001");
    {
        TFAddGoodsLines batch(app->ctx, *buy);
        batch.GoodsID->setText(QStringLiteral("PHONE"));
        batch.goodsChanged();
        for (auto [imei, price] : {std::pair{"860000000000002", "1100"}, std::pair{"860000000000003", "1200"}}) {
            batch.Price->setText(QString::fromLatin1(price));
            batch.IMEI->setText(QString::fromLatin1(imei));
            ASSERT_TRUE(batch.confirm());
        }
    }
    buy->NumEdit1->selectAll();
    QTest::keyClicks(buy->NumEdit1, QStringLiteral("3000"));
    app->dialogs.onDialog(preview);
    buy->print();
    answerSave(QStringLiteral("1"));
    ASSERT_TRUE(buy->save());
    EXPECT_EQ(count(QStringLiteral("SELECT StockAmount FROM StockMaster")), 3);
    EXPECT_EQ(money(QStringLiteral("SELECT sum(InCost) FROM StockCost")), Money::fromUnits(3300));
    EXPECT_EQ(money(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID='S1'")), Money::fromUnits(300));

    // Sell two of them, with salesperson and buyer; 1000 left owing.
    TFGoods_sell sell(app->ctx);
    sell.Edit1->setText(QStringLiteral("客户乙"));
    TFSell_client_data buyer(app->ctx, QVariant());
    buyer.BuyerName->setText(QStringLiteral("王五"));
    buyer.confirm();
    for (const char *imei : {"860000000000002", "860000000000003"}) {
        line(sell, "PHONE", 1, "1500", imei);
        sell.lines()->setValue(QStringLiteral("ClerkID"), QStringLiteral("E2"));
        sell.lines()->setValue(QStringLiteral("BuyerID"), buyer.buyerId());
    }
    EXPECT_EQ(sell.lines()->text(QStringLiteral("SalesmanName")), QStringLiteral("李四"));
    EXPECT_EQ(sell.lines()->text(QStringLiteral("BuyerName")), QStringLiteral("王五"));
    sell.NumEdit1->selectAll();
    QTest::keyClicks(sell.NumEdit1, QStringLiteral("2000"));
    app->dialogs.onDialog(preview);
    sell.print();
    answerSave(QStringLiteral("1"));
    ASSERT_TRUE(sell.save());

    // Handsets charge the oldest layers whichever IMEI leaves.
    const RowSet sold = app->db().query(QStringLiteral("SELECT IMEI, InCost, ClerkID FROM SellDetail ORDER BY RecordID"));
    ASSERT_EQ(sold.size(), 2);
    EXPECT_EQ(Money::fromVariant(sold.value(0, 1)), Money::fromUnits(1000));
    EXPECT_EQ(Money::fromVariant(sold.value(1, 1)), Money::fromUnits(1100));
    EXPECT_EQ(sold.value(0, 2).toString(), QStringLiteral("E2"));
    EXPECT_EQ(count(QStringLiteral("SELECT StockAmount FROM StockMaster")), 1);
    EXPECT_EQ(app->db().scalar(QStringLiteral("SELECT IMEI FROM StockDetail")).toString(), QStringLiteral("860000000000001"));
    EXPECT_EQ(money(QStringLiteral("SELECT InCost FROM StockCost")), Money::fromUnits(1200));
    EXPECT_EQ(money(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID='K1'")), Money::fromUnits(1200)); // 200 + 1000

    ASSERT_EQ(printed.size(), 2);
    EXPECT_TRUE(printed[0].contains(QStringLiteral("860000000000002")));
    EXPECT_TRUE(printed[0].contains(QStringLiteral("叁仟零佰零拾零元零角零分"))) << printed[0].toStdString();
    EXPECT_TRUE(printed[1].contains(QStringLiteral("李四")));
    EXPECT_TRUE(printed[1].contains(QStringLiteral("贰仟零佰零拾零元零角零分")));

    // The sale record of a handset.
    TFGoods_client_data record(app->ctx, QStringLiteral("860000000000003"));
    EXPECT_EQ(record.shown(QStringLiteral("顾客姓名")), QStringLiteral("王五"));
    EXPECT_EQ(record.shown(QStringLiteral("销售单据号")), QStringLiteral("00000001"));
    EXPECT_EQ(record.shown(QStringLiteral("业务员")), QStringLiteral("李四"));
    EXPECT_EQ(record.shown(QStringLiteral("单价")), QStringLiteral("1,500.00"));
}

VELMORA_ON_BOTH_ENGINES(GoodsBillTest);
