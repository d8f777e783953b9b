#include "basedata_fixture.h"
#include "receivables.h"

class ReceivablesTest : public WindowTest<TFSetup_receivables_deal> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        db().exec(QStringLiteral("INSERT INTO Client(ClientID, ClientName, ClientTypeID, CostType, Cost, FactCost) "
                                 "VALUES('C1', '张三', '02', 1, 0, 0)"));
    }
    void choose(const QString &id) { ASSERT_TRUE(window->clients()->locate(QStringLiteral("ClientID"), id)); }
    // Sets the opening balance through the dialog.
    void setOpening(int radio, const QString &amount)
    {
        app->dialogs.onDialog([radio, amount](QDialog *d) {
            EXPECT_TRUE(d->findChild<QLineEdit *>(QStringLiteral("ClientName"))->isReadOnly());
            d->findChild<QRadioButton *>(QStringLiteral("CostType%1").arg(radio))->setChecked(true);
            fill(d, {{QStringLiteral("Cost"), amount}});
            clickOk(d);
            return -1;
        });
        window->OpeningButton->click();
    }
};

TEST_P(ReceivablesTest, PayableHundredStoresFalseHundredHundred)
{
    open();
    choose(QStringLiteral("C1"));
    setOpening(1, QStringLiteral("100"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='C1' AND CostType=0 AND Cost=100 AND FactCost=100")), 1);
    choose(QStringLiteral("C1"));
    const int col = window->grid()->model()->columnOfField(QStringLiteral("CostType"));
    EXPECT_EQ(window->grid()->model()->index(window->clients()->recNo(), col).data().toString(), QStringLiteral("应付"));

    // Not a number: told, and nothing stored.
    app->dialogs.onDialog([](QDialog *d) {
        fill(d, {{QStringLiteral("Cost"), QStringLiteral("一百")}});
        clickOk(d);
        EXPECT_TRUE(d->isVisible());
        return int(QDialog::Rejected);
    });
    window->OpeningButton->click();
    EXPECT_EQ(last(), QStringLiteral("请输入正确的金额。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='C1' AND Cost=100")), 1);
}

TEST_P(ReceivablesTest, RefusedAfterAReceiptAllowedAfterOnlyAnExpenseBill)
{
    db().exec(QStringLiteral("INSERT INTO ChargeMaster(OrderID, ClientID) VALUES('F1', 'C1')"));
    db().exec(QStringLiteral("UPDATE Client SET FactCost=-30 WHERE ClientID='C1'"));
    open();
    choose(QStringLiteral("C1"));
    setOpening(0, QStringLiteral("50"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='C1' AND CostType=1 AND Cost=50 AND FactCost=50")), 1);

    db().exec(QStringLiteral("INSERT INTO GatheringMaster(OrderID, ClientID) VALUES('G1', 'C1')"));
    choose(QStringLiteral("C1"));
    window->OpeningButton->click();
    EXPECT_EQ(last(), QStringLiteral("系统已经有单据过帐，不能再修改期初数据。"));
    EXPECT_FALSE(window->clients()->isEditing());
}

TEST_P(ReceivablesTest, SystemPartnersAreListedButRefusedAndRowsStayPut)
{
    open();
    EXPECT_EQ(window->clients()->recordCount(), 4);
    for (const char *id : {"1000", "2000", "3000"}) {
        choose(QString::fromLatin1(id));
        window->OpeningButton->click();
        EXPECT_EQ(last(), QStringLiteral("系统默认的单位不能进行期初。"));
    }
    focusOn(window->grid()->view());
    QTest::keyClick(window->grid()->view(), Qt::Key_Insert);
    EXPECT_EQ(last(), QStringLiteral("请到往来单位中增加单位。"));
    QTest::keyClick(window->grid()->view(), Qt::Key_Delete);
    EXPECT_EQ(last(), QStringLiteral("请到往来单位中删除单位"));
    EXPECT_EQ(window->clients()->recordCount(), 4);

    window->search()->check(1)->setChecked(true);
    window->search()->edit(1)->setText(QStringLiteral("张"));
    window->find();
    EXPECT_EQ(window->clients()->recordCount(), 1);
    window->search()->edit(1)->setText(QStringLiteral("%"));
    window->find();
    EXPECT_EQ(last(), QStringLiteral("没有符合条件的记录。"));
}

TEST_P(ReceivablesTest, QueryRightsOnlyDisableEditing)
{
    open(false);
    expectEditingDisabled(window.get(), {QStringLiteral("OpeningButton")});
    choose(QStringLiteral("C1"));
    focusOn(window->grid()->view());
    QTest::keyClick(window->grid()->view(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(window->clients()->isEditing());
}

VELMORA_ON_BOTH_ENGINES(ReceivablesTest);
