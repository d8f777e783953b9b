#include "basedata_fixture.h"
#include "simple_lists.h"

class StorehouseTest : public WindowTest<TFStorehouse> {};

TEST_P(StorehouseTest, ABlankRowDisappearsWithoutAMessage)
{
    open();
    const int before = window->storehouses()->recordCount();
    for (const char *name : {"", "   "}) {
        window->AddButton->click();
        window->storehouses()->setValue(QStringLiteral("StorehouseName"), QString::fromUtf8(name));
        window->SaveButton->click();
        EXPECT_EQ(window->storehouses()->recordCount(), before);
    }
    // Leaving the blank row in the grid drops it too.
    window->AddButton->click();
    window->AddButton->click();
    EXPECT_EQ(window->storehouses()->recordCount(), before + 1);
    window->storehouses()->cancel();
    EXPECT_TRUE(app->dialogs.asked.isEmpty());

    window->AddButton->click();
    window->storehouses()->setValue(QStringLiteral("StorehouseName"), QStringLiteral("二号库"));
    window->SaveButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Storehouse WHERE StorehouseName='二号库'")), 1);

    window->setFullRights(false);
    expectEditingDisabled(window.get(), {QStringLiteral("DeleteButton"), QStringLiteral("AddButton"), QStringLiteral("SaveButton")});
}

TEST_P(StorehouseTest, TypedIntoTheGridAndSavedWithCtrlS)
{
    open();
    GridView *view = window->grid()->view();
    focusOn(view);
    QTest::keyClick(view, Qt::Key_Insert);
    ASSERT_EQ(window->storehouses()->state(), DataSet::State::Insert);
    QTest::keyClick(view, Qt::Key_B); // opens the cell editor
    QWidget *editor = QApplication::focusWidget();
    ASSERT_NE(editor, view);
    QTest::keyClick(editor, Qt::Key_2);
    QTest::keyClick(editor, Qt::Key_Return);
    // Enter past the last cell started the next row, which Ctrl+S drops as blank.
    EXPECT_EQ(window->storehouses()->state(), DataSet::State::Insert);
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Storehouse WHERE StorehouseName='b2'")), 1);
    EXPECT_FALSE(window->storehouses()->isEditing());
}

TEST_P(StorehouseTest, AWarehouseABillUsesStays)
{
    db().exec(QStringLiteral("INSERT INTO SpillMaster(OrderID, StorehouseID) SELECT 'Y1', MIN(StorehouseID) FROM Storehouse"));
    open();
    app->dialogs.answer(Answer::Ok);
    focusOn(window->grid()->view());
    QTest::keyClick(window->grid()->view(), Qt::Key_Delete);
    EXPECT_EQ(last(), QStringLiteral("网络故障或者该信息正被其它表单使用，不能删除。"));
    EXPECT_EQ(window->storehouses()->recordCount(), 1);
}

class ColorConfigTest : public WindowTest<TFColor_Config> {};

TEST_P(ColorConfigTest, EmptyNamesStayHiddenAndEachGridKeepsItsRows)
{
    db().exec(QStringLiteral("INSERT INTO Color(ColorName) VALUES('')"));
    db().exec(QStringLiteral("INSERT INTO Color(ColorName) VALUES('黑')"));
    db().exec(QStringLiteral("INSERT INTO Config(ConfigName) VALUES('')"));
    open();
    EXPECT_EQ(window->colors()->recordCount(), 1);
    EXPECT_EQ(window->configs()->recordCount(), 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("颜色/设置"));

    // The buttons act on the grid that had the focus last.
    focusOn(window->configGrid()->view());
    window->AddButton->click();
    window->configs()->setValue(QStringLiteral("ConfigName"), QStringLiteral("双卡"));
    window->SaveButton->click();
    focusOn(window->colorGrid()->view());
    window->AddButton->click();
    window->colors()->setValue(QStringLiteral("ColorName"), QStringLiteral("白"));
    app->dialogs.answer(Answer::Ok);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Config WHERE ConfigName='双卡'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Color WHERE ColorName='白'")), 1);

    open(false);
    expectEditingDisabled(window.get(), {QStringLiteral("DeleteButton"), QStringLiteral("AddButton"), QStringLiteral("SaveButton")});
}

class CashBankTest : public WindowTest<TFSetup_cash_bank> {
protected:
    int account(const QString &name)
    {
        return int(db().insertReturningId(QStringLiteral("INSERT INTO CostAccount(AccountName, Cost, FactCost) VALUES(:n, 0, 0)"),
                                          {{QStringLiteral("n"), name}}, QStringLiteral("AccountID")));
    }
};

TEST_P(CashBankTest, AnAccountASalesBillUsesIsFrozenMoneyBillsDoNotCount)
{
    const int sold = account(QStringLiteral("银行"));
    const int received = account(QStringLiteral("微信"));
    db().exec(QStringLiteral("INSERT INTO SellMaster(OrderID, AccountID) VALUES('S1', :a)"), {{QStringLiteral("a"), sold}});
    db().exec(QStringLiteral("INSERT INTO GatheringMaster(OrderID) VALUES('G1')"));
    db().exec(QStringLiteral("INSERT INTO GatheringDetail(OrderID, AccountID, Cost) VALUES('G1', :a, 5)"), {{QStringLiteral("a"), received}});
    open();
    DataSet *a = window->accounts();

    ASSERT_TRUE(a->locate(QStringLiteral("AccountID"), sold));
    a->setValue(QStringLiteral("Cost"), QStringLiteral("500"));
    window->SaveButton->click();
    EXPECT_EQ(last(), QStringLiteral("系统已经有单据过帐，不能再修改资金帐户数据。"));
    a->cancel();
    window->DeleteButton->click();
    EXPECT_EQ(last(), QStringLiteral("系统已经有单据过帐，不能删除资金帐户数据。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CostAccount WHERE AccountID=:a AND Cost=0"), {{QStringLiteral("a"), sold}}), 1);

    ASSERT_TRUE(a->locate(QStringLiteral("AccountID"), received));
    a->setValue(QStringLiteral("Cost"), QStringLiteral("1234.5"));
    window->SaveButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CostAccount WHERE AccountID=:a AND Cost=1234.5 AND FactCost=1234.5"),
                    {{QStringLiteral("a"), received}}),
              1);
    EXPECT_EQ(window->grid()->model()->data(window->grid()->model()->index(a->recNo(), 1), Qt::DisplayRole).toString(),
              QStringLiteral("1,234.50"));

    // A new account needs a name and is not tested for use.
    window->AddButton->click();
    a->setValue(QStringLiteral("Cost"), QStringLiteral("10"));
    window->SaveButton->click();
    EXPECT_EQ(last(), QStringLiteral("请输入资金帐户。"));
    a->setValue(QStringLiteral("AccountName"), QStringLiteral("支付宝"));
    window->SaveButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CostAccount WHERE AccountName='支付宝' AND FactCost=10")), 1);

    window->setFullRights(false);
    expectEditingDisabled(window.get(), {QStringLiteral("DeleteButton"), QStringLiteral("AddButton"), QStringLiteral("SaveButton")});
}

class EarningPayoutTest : public WindowTest<TFSetup_earning_payout> {};

TEST_P(EarningPayoutTest, KindsNewRowsAndSearchOverBoth)
{
    db().exec(QStringLiteral("INSERT INTO CostItem(ItemTypeID, ItemName) VALUES(0, '维修收入'), (1, '房租'), (1, '水电_费')"));
    open();
    EXPECT_EQ(window->items()->recordCount(), 2); // expense items until a node is chosen
    window->tree()->setCurrentItem(window->tree()->topLevelItem(0));
    EXPECT_EQ(window->items()->recordCount(), 1);
    window->AddButton->click();
    window->SaveButton->click();
    EXPECT_EQ(last(), QStringLiteral("请输入项目名称。"));
    window->items()->setValue(QStringLiteral("ItemName"), QStringLiteral("返利收入"));
    window->SaveButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CostItem WHERE ItemName='返利收入' AND ItemTypeID=0")), 1);

    SearchBar *s = window->search();
    s->check(0)->setChecked(true);
    s->edit(0)->setText(QStringLiteral("收入"));
    QTest::mouseClick(s->findButton(), Qt::LeftButton);
    EXPECT_EQ(window->items()->recordCount(), 2);
    s->edit(0)->setText(QStringLiteral("_"));
    window->find();
    EXPECT_EQ(window->items()->recordCount(), 1);
    s->edit(0)->setText(QStringLiteral("没有"));
    window->find();
    EXPECT_EQ(last(), QStringLiteral("没有符合条件的记录。"));
    s->check(0)->setChecked(false);
    window->find();
    EXPECT_EQ(window->items()->recordCount(), 4);

    window->setFullRights(false);
    expectEditingDisabled(window.get(), {QStringLiteral("DeleteButton"), QStringLiteral("AddButton"), QStringLiteral("SaveButton")});
}

VELMORA_ON_BOTH_ENGINES(StorehouseTest);
VELMORA_ON_BOTH_ENGINES(ColorConfigTest);
VELMORA_ON_BOTH_ENGINES(CashBankTest);
VELMORA_ON_BOTH_ENGINES(EarningPayoutTest);
