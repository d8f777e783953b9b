#include "store_fixture.h"

using namespace store;

class StockLedgerTest : public StoreTest {};

TEST_P(StockLedgerTest, FirstReceiptCreatesTheHeadRowAndLaterOnesAddBatches)
{
    RecordingWarnings w;
    receive(QStringLiteral("G1"), shop, 3, M("100.25"), {}, &w);
    EXPECT_EQ(head(QStringLiteral("G1"), shop, "StockUpper").toInt(), 0);
    EXPECT_EQ(head(QStringLiteral("G1"), shop, "StockLower").toInt(), 0);
    receive(QStringLiteral("G1"), shop, 4, M("120.5"), {}, &w);
    EXPECT_TRUE(w.texts.isEmpty()) << w.texts.join(u'\n').toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM StockMaster")).toInt(), 1);
    EXPECT_EQ(stock(QStringLiteral("G1"), shop), 7);
    EXPECT_EQ(batches(QStringLiteral("G1"), shop), (std::vector<Batch>{{3, {}}, {4, {}}}));
    EXPECT_EQ(layers(QStringLiteral("G1"), shop), (std::vector<Money>{M("100.25"), M("120.5")}));
    // Batches without IMEI hold empty text: that is how goods without IMEI are recognised.
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM StockDetail WHERE IMEI = '' AND SN = ''")).toInt(), 2);
}

TEST_P(StockLedgerTest, IssueTakesTheOldestBatchesWithTheirLayers)
{
    struct Case {
        int amount;
        const char *cost;
        std::vector<Batch> left;
        std::vector<Money> leftLayers;
    };
    const Case cases[] = {
        {5, "541.75", {{2, {}}}, {M("120.5")}},                    // 3 × first + 2 × second
        {3, "300.75", {{4, {}}}, {M("120.5")}},                    // a whole batch, the next untouched
        {2, "200.5", {{1, {}}, {4, {}}}, {M("100.25"), M("120.5")}}, // part of the first, its layer stays
        {7, "782.75", {}, {}},                                     // everything
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.amount);
        db().exec(QStringLiteral("DELETE FROM StockCost"));
        db().exec(QStringLiteral("DELETE FROM StockDetail"));
        db().exec(QStringLiteral("DELETE FROM StockMaster"));
        receive(QStringLiteral("G1"), shop, 3, M("100.25"));
        receive(QStringLiteral("G1"), shop, 4, M("120.5"));
        EXPECT_EQ(LineOutCost(db(), {QStringLiteral("G1"), shop, {}, c.amount, {}}), M(c.cost));
        EXPECT_EQ(issue(QStringLiteral("G1"), shop, c.amount), M(c.cost));
        EXPECT_EQ(stock(QStringLiteral("G1"), shop), 7 - c.amount);
        EXPECT_EQ(batches(QStringLiteral("G1"), shop), c.left);
        EXPECT_EQ(layers(QStringLiteral("G1"), shop), c.leftLayers);
    }
}

TEST_P(StockLedgerTest, AnImeiGoodsAlwaysChargesTheOldestLayer)
{
    receive(QStringLiteral("P1"), shop, 1, M("100"), QStringLiteral("A"));
    receive(QStringLiteral("P1"), shop, 1, M("120"), QStringLiteral("B"));
    receive(QStringLiteral("P1"), shop, 1, M("130"), QStringLiteral("C"));
    EXPECT_EQ(issue(QStringLiteral("P1"), shop, 1, QStringLiteral("B")), M("100"));
    EXPECT_EQ(issue(QStringLiteral("P1"), shop, 1, QStringLiteral(" C ")), M("120"));
    EXPECT_EQ(stock(QStringLiteral("P1"), shop), 1);
    EXPECT_EQ(batches(QStringLiteral("P1"), shop), (std::vector<Batch>{{1, QStringLiteral("A")}}));
    EXPECT_EQ(layers(QStringLiteral("P1"), shop), (std::vector<Money>{M("130")}));
}

TEST_P(StockLedgerTest, RefusalsNameTheGoodsInTheBillsOwnWords)
{
    receive(QStringLiteral("G1"), shop, 3, M("10"));
    receive(QStringLiteral("P1"), shop, 1, M("900"), QStringLiteral("861234"));
    struct Case {
        const char *goods;
        int store; // 0: shop, 1: depot
        const char *imei;
        int amount;
        StockOutOptions options;
        const char *text;
    };
    const Case cases[] = {
        {"G1", 1, "", 1, {RefusalEnding::OneBlank, false}, "库存中没有商品名称为甲,IMEI号为 的商品。"},
        {"P1", 0, "999", 1, {RefusalEnding::OneBlank, false}, "库存中没有商品名称为乙,IMEI号为999 的商品。"},
        {"P1", 0, "999", 1, {RefusalEnding::TwoBlanks, true}, "库存中没有商品名称为乙,IMEI号为999  的商品。"},
        {"P1", 1, "861234", 1, {RefusalEnding::NoBlank, false}, "库存中没有商品名称为乙,IMEI号为861234的商品。"},
        {"G1", 0, "", 4, {RefusalEnding::OneBlank, false}, "库存商品甲的数量少于发货数量。"},
    };
    for (const Case &c : cases) {
        try {
            issue(QString::fromLatin1(c.goods), c.store ? depot : shop, c.amount, QString::fromLatin1(c.imei), c.options);
            ADD_FAILURE() << "not refused: " << c.text;
        } catch (const StockRefusal &r) {
            EXPECT_EQ(r.message().toStdString(), c.text);
        }
    }
    EXPECT_EQ(stock(QStringLiteral("G1"), shop), 3);
    EXPECT_EQ(stock(QStringLiteral("P1"), shop), 1);
    EXPECT_EQ(batches(QStringLiteral("G1"), shop).size(), 1u);
}

TEST_P(StockLedgerTest, StockAmountRulesEvenWhenBatchesWouldCoverTheIssue)
{
    receive(QStringLiteral("G1"), shop, 3, M("10"));
    db().exec(QStringLiteral("UPDATE StockMaster SET StockAmount = 2"));
    EXPECT_THROW(issue(QStringLiteral("G1"), shop, 3), StockRefusal);
    EXPECT_EQ(batches(QStringLiteral("G1"), shop), (std::vector<Batch>{{3, {}}}));
}

TEST_P(StockLedgerTest, WithoutBatchesOrLayersThereIsNoStock)
{
    receive(QStringLiteral("G1"), shop, 2, M("10"));
    issue(QStringLiteral("G1"), shop, 2); // the head row stays at 0
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM StockMaster")).toInt(), 1);
    EXPECT_THROW(issue(QStringLiteral("G1"), shop, 1), StockRefusal);

    // A purchase return needs the cost layers as well.
    receive(QStringLiteral("G1"), shop, 2, M("10"));
    db().exec(QStringLiteral("DELETE FROM StockCost"));
    EXPECT_THROW(issue(QStringLiteral("G1"), shop, 1, {}, {RefusalEnding::TwoBlanks, true}), StockRefusal);
    EXPECT_EQ(issue(QStringLiteral("G1"), shop, 1), Money());
}

TEST_P(StockLedgerTest, NonsenseLinesAreRejectedBeforeTouchingStock)
{
    receive(QStringLiteral("G1"), shop, 3, M("10"));
    Transaction tx(db());
    EXPECT_THROW(PostStockIn(db(), {QStringLiteral("G1"), shop, {}, {}, 0, 0, M("1"), QStringLiteral("甲")}),
                 std::invalid_argument);
    EXPECT_THROW(PostStockIn(db(), {QStringLiteral("P1"), shop, QStringLiteral("X"), {}, 2, 0, M("1"), QStringLiteral("乙")}),
                 std::invalid_argument);
    EXPECT_THROW(PostStockOut(db(), {QStringLiteral("G1"), shop, {}, -2, QStringLiteral("甲")}), std::invalid_argument);
    EXPECT_THROW(MoveStockLine(db(), {QStringLiteral("G1"), shop, depot, {}, {}, 0, 0, QStringLiteral("甲")}),
                 std::invalid_argument);
    tx.commit();
    EXPECT_EQ(stock(QStringLiteral("G1"), shop), 3);
    EXPECT_EQ(batches(QStringLiteral("G1"), shop), (std::vector<Batch>{{3, {}}}));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM StockMaster")).toInt(), 1);
}

TEST_P(StockLedgerTest, LimitsWarnThroughTheListener)
{
    receive(QStringLiteral("G1"), shop, 3, M("10"));
    db().exec(QStringLiteral("UPDATE StockMaster SET StockUpper = 5, StockLower = 2"));
    RecordingWarnings w;
    receive(QStringLiteral("G1"), shop, 2, M("10"), {}, &w); // 5: at the limit
    receive(QStringLiteral("G1"), shop, 1, M("10"), {}, &w); // 6
    issue(QStringLiteral("G1"), shop, 4, {}, {}, &w);        // 2: at the limit
    issue(QStringLiteral("G1"), shop, 1, {}, {}, &w);        // 1
    EXPECT_EQ(w.texts, (QStringList{QStringLiteral("商品：甲 库存数量已经超过库存上限。"),
                                    QStringLiteral("商品：甲库存数量已经小于库存下限。")}));
}

TEST(StockLimits, ZeroUpperNeverWarnsZeroLowerOnlyBelowZero)
{
    EXPECT_FALSE(exceedsStockUpper(1000, 0));
    EXPECT_TRUE(exceedsStockUpper(6, 5));
    EXPECT_FALSE(exceedsStockUpper(5, 5));
    EXPECT_FALSE(belowStockLower(0, 0));
    EXPECT_TRUE(belowStockLower(-1, 0));
}

TEST(LineOutCost, WalksLayersAndBatchesTogether)
{
    struct Case {
        std::vector<const char *> layers;
        QList<int> amounts;
        int amount;
        const char *imei;
        const char *cost;
    };
    const Case cases[] = {
        {{"100", "120"}, {3, 4}, 5, "", "540"},
        {{"100", "120"}, {3, 4}, 3, "", "300"},
        {{"0.3333", "1"}, {3, 4}, 1, "", "0.3333"},
        {{"100", "120"}, {3, 4}, 1, "X", "100"},  // a handset: the oldest layer
        {{"100"}, {3, 4}, 6, "", "300"},          // layers run out: what was found
        {{}, {}, 2, "", "0"},
        {{}, {}, 1, "X", "0"},
    };
    for (const Case &c : cases) {
        QList<Money> layers;
        for (const char *l : c.layers)
            layers << M(l);
        EXPECT_EQ(LineOutCost(layers, c.amounts, c.amount, QString::fromLatin1(c.imei)), M(c.cost)) << c.cost;
    }
}

TEST_P(StockLedgerTest, TransferMovesEachLayerAsOneBatch)
{
    receive(QStringLiteral("G1"), shop, 3, M("100"));
    receive(QStringLiteral("G1"), shop, 4, M("120"));
    receive(QStringLiteral("G1"), depot, 1, M("90"));
    Transaction tx(db());
    EXPECT_EQ(MoveStockLine(db(), {QStringLiteral("G1"), shop, depot, {}, {}, 0, 5, QStringLiteral("甲")}), M("540"));
    tx.commit();
    EXPECT_EQ(stock(QStringLiteral("G1"), shop), 2);
    EXPECT_EQ(batches(QStringLiteral("G1"), shop), (std::vector<Batch>{{2, {}}}));
    EXPECT_EQ(layers(QStringLiteral("G1"), shop), (std::vector<Money>{M("120")}));
    EXPECT_EQ(stock(QStringLiteral("G1"), depot), 6);
    EXPECT_EQ(batches(QStringLiteral("G1"), depot), (std::vector<Batch>{{1, {}}, {3, {}}, {2, {}}}));
    EXPECT_EQ(layers(QStringLiteral("G1"), depot), (std::vector<Money>{M("90"), M("100"), M("120")}));
}

TEST_P(StockLedgerTest, TransferOfAHandsetCarriesTheOldestLayer)
{
    const int red = color(QStringLiteral("红"));
    receive(QStringLiteral("P1"), shop, 1, M("100"), QStringLiteral("A"));
    receive(QStringLiteral("P1"), shop, 1, M("120"), QStringLiteral("B"));
    RecordingWarnings w;
    Transaction tx(db());
    EXPECT_EQ(MoveStockLine(db(), {QStringLiteral("P1"), shop, depot, QStringLiteral("B"), QStringLiteral("SN-B"), red, 1,
                                   QStringLiteral("乙")},
                            &w),
              M("100"));
    tx.commit();
    EXPECT_TRUE(w.texts.isEmpty());
    EXPECT_EQ(batches(QStringLiteral("P1"), depot), (std::vector<Batch>{{1, QStringLiteral("B")}}));
    EXPECT_EQ(layers(QStringLiteral("P1"), depot), (std::vector<Money>{M("100")}));
    EXPECT_EQ(stock(QStringLiteral("P1"), depot), 1);
    EXPECT_EQ(batches(QStringLiteral("P1"), shop), (std::vector<Batch>{{1, QStringLiteral("A")}}));
    EXPECT_EQ(layers(QStringLiteral("P1"), shop), (std::vector<Money>{M("120")}));
    EXPECT_EQ(GetSNByIMEI(db(), QStringLiteral("B")), QStringLiteral("SN-B"));
    EXPECT_EQ(GetColorByIMEI(db(), QStringLiteral("B")), red);
}

TEST_P(StockLedgerTest, TransferRefusalsEndWithTwoBlanks)
{
    Transaction tx(db());
    try {
        MoveStockLine(db(), {QStringLiteral("P1"), shop, depot, QStringLiteral("Z"), {}, 0, 1, QStringLiteral("乙")});
        ADD_FAILURE() << "not refused";
    } catch (const StockRefusal &r) {
        EXPECT_EQ(r.message(), QStringLiteral("库存中没有商品名称为乙,IMEI号为Z  的商品。"));
    }
}

TEST_P(StockLedgerTest, RemovingAHandsetOfAnotherHeadRowChangesNothing)
{
    receive(QStringLiteral("P1"), shop, 1, M("100"), QStringLiteral("A"));
    receive(QStringLiteral("P1"), depot, 1, M("200"), QStringLiteral("B"));
    const qlonglong depotHead = head(QStringLiteral("P1"), depot, "RecordID").toLongLong();
    RemoveStockRow(db(), QStringLiteral("P1"), QStringLiteral("A"), depotHead, depot);
    EXPECT_EQ(batches(QStringLiteral("P1"), shop).size(), 1u);
    EXPECT_EQ(layers(QStringLiteral("P1"), depot), (std::vector<Money>{M("200")}));
}

TEST_P(StockLedgerTest, LookupsReadTheOldestOrNothing)
{
    const int blue = color(QStringLiteral("蓝"));
    EXPECT_EQ(GetInCost(db(), QStringLiteral("G1"), QStringLiteral("门店")), Money());
    receive(QStringLiteral("G1"), shop, 2, M("88.8"));
    receive(QStringLiteral("G1"), shop, 2, M("99"));
    receive(QStringLiteral("G1"), depot, 2, M("77"));
    EXPECT_EQ(GetInCost(db(), QStringLiteral("G1"), QStringLiteral("门店")), M("88.8"));
    EXPECT_EQ(GetInCost(db(), QStringLiteral("G1"), QStringLiteral("仓库")), M("77"));
    {
        Transaction tx(db());
        PostStockIn(db(), {QStringLiteral("P1"), shop, QStringLiteral("86"), QStringLiteral("S/N 1"), 1, blue, M("1"),
                           QStringLiteral("乙")});
        PostStockIn(db(), {QStringLiteral("G1"), shop, {}, QStringLiteral("batch sn"), 1, blue, M("1"), QStringLiteral("甲")});
        tx.commit();
    }
    EXPECT_EQ(GetSNByIMEI(db(), QStringLiteral("86")), QStringLiteral("S/N 1"));
    EXPECT_EQ(GetColorByIMEI(db(), QStringLiteral("86")), blue);
    // A blank IMEI names no handset, though batches without IMEI have S/N and colour.
    for (const QString &none : {QStringLiteral("87"), QString(), QStringLiteral("  ")}) {
        EXPECT_EQ(GetSNByIMEI(db(), none), QString());
        EXPECT_EQ(GetColorByIMEI(db(), none), 0);
    }
}

VELMORA_ON_BOTH_ENGINES(StockLedgerTest);
