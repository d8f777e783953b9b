#include "basedata_fixture.h"
#include "corporation.h"

class CorporationTest : public WindowTest<TFSetup_corporation> {
protected:
    void partner(const QString &id, const QString &name, const QString &kind)
    {
        db().exec(QStringLiteral("INSERT INTO Client(ClientID, ClientName, ClientTypeID) VALUES(:i, :n, :k)"),
                  {{QStringLiteral("i"), id}, {QStringLiteral("n"), name}, {QStringLiteral("k"), kind}});
    }
    void choose(const QString &id) { ASSERT_TRUE(window->clients()->locate(QStringLiteral("ClientID"), id)); }
};

TEST_P(CorporationTest, KindsListTheirPartnersAndNewRowsTakeTheKind)
{
    partner(QStringLiteral("S1"), QStringLiteral("华南批发"), QStringLiteral("01"));
    open();
    EXPECT_EQ(window->clients()->recordCount(), 4); // all, the three system partners included
    // Before any node is chosen a new row gets no kind.
    window->appendRow(window->grid());
    EXPECT_EQ(window->clients()->text(QStringLiteral("ClientTypeID")), QString());
    window->clients()->cancel();

    window->tree()->setCurrentItem(window->tree()->topLevelItem(0));
    EXPECT_EQ(window->clients()->recordCount(), 2); // S1 and 2000
    window->tree()->setCurrentItem(window->tree()->topLevelItem(2));
    EXPECT_EQ(window->kind(), QStringLiteral("03"));
    window->appendRow(window->grid());
    window->clients()->setValue(QStringLiteral("ClientID"), QStringLiteral("T1"));
    window->clients()->setValue(QStringLiteral("ClientName"), QStringLiteral("物流公司"));
    EXPECT_TRUE(window->saveRow(window->grid()));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='T1' AND ClientTypeID='03' AND FactCost=0")), 1);
}

TEST_P(CorporationTest, SystemPartnersKeepNumberAndNameAndCannotBeDeleted)
{
    open();
    choose(QStringLiteral("1000"));
    window->DeleteButton->click(); // refused before "是否确定删除？" is asked
    EXPECT_EQ(last(), QStringLiteral("该单位不能删除。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='1000'")), 1);

    app->dialogs.onDialog([](QDialog *d) {
        EXPECT_TRUE(d->findChild<QLineEdit *>(QStringLiteral("ClientID"))->isReadOnly());
        EXPECT_TRUE(d->findChild<QLineEdit *>(QStringLiteral("ClientName"))->isReadOnly());
        EXPECT_FALSE(d->findChild<QLineEdit *>(QStringLiteral("Phone"))->isReadOnly());
        fill(d, {{QStringLiteral("Phone"), QStringLiteral("12345")}});
        clickOk(d);
        return -1;
    });
    window->EditButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='1000' AND Phone='12345'")), 1);

    // Typed into the grid, number and name go back to what they were.
    const QString name = window->clients()->text(QStringLiteral("ClientName"));
    window->clients()->setValue(QStringLiteral("ClientName"), QStringLiteral("改名"));
    EXPECT_EQ(window->clients()->text(QStringLiteral("ClientName")), name);
    EXPECT_EQ(last(), QStringLiteral("系统默认的单位不能修改单位编号和单位名称。"));
    window->clients()->cancel();

    // Another partner's number and name are editable in the form.
    partner(QStringLiteral("C1"), QStringLiteral("张三"), QStringLiteral("02"));
    window->clients()->refresh();
    choose(QStringLiteral("C1"));
    app->dialogs.onDialog([](QDialog *d) {
        EXPECT_FALSE(d->findChild<QLineEdit *>(QStringLiteral("ClientID"))->isReadOnly());
        return int(QDialog::Rejected);
    });
    window->EditButton->click();
}

TEST_P(CorporationTest, PartnerChecksAndNumberChanges)
{
    partner(QStringLiteral("C1"), QStringLiteral("张三"), QStringLiteral("02"));
    open();
    DataSet *c = window->clients();
    struct Case {
        const char *id, *name, *message;
    } cases[] = {{"", "李四", "请输入单位编号。"}, {"C2", "", "请输入单位名称。"}, {"1000", "李四", "单位编号不能相同。"}};
    for (const Case &k : cases) {
        window->appendRow(window->grid());
        c->setValue(QStringLiteral("ClientID"), QString::fromUtf8(k.id));
        c->setValue(QStringLiteral("ClientName"), QString::fromUtf8(k.name));
        EXPECT_FALSE(window->saveRow(window->grid()));
        EXPECT_EQ(last(), QString::fromUtf8(k.message));
        c->cancel();
    }
    choose(QStringLiteral("C1"));
    c->setValue(QStringLiteral("ClientID"), QStringLiteral("2000"));
    EXPECT_FALSE(window->saveRow(window->grid()));
    EXPECT_EQ(last(), QStringLiteral("单位编号不能相同。"));
    EXPECT_TRUE(c->isEditing()); // kept for correction
    c->setValue(QStringLiteral("ClientID"), QStringLiteral("C1"));
    c->setValue(QStringLiteral("LinkMan"), QStringLiteral("王五"));
    EXPECT_TRUE(window->saveRow(window->grid()));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='C1' AND LinkMan='王五'")), 1);
}

TEST_P(CorporationTest, AddingThroughTheFormAndDeletingAPartnerABillNames)
{
    open();
    window->tree()->setCurrentItem(window->tree()->topLevelItem(1));
    app->dialogs.onDialog([](QDialog *d) {
        fill(d, {{QStringLiteral("ClientID"), QStringLiteral("C9")},
                 {QStringLiteral("ClientName"), QStringLiteral("赵六")},
                 {QStringLiteral("Bank"), QStringLiteral("工行")},
                 {QStringLiteral("Remark"), QStringLiteral("老客户")}});
        clickOk(d);
        return -1;
    });
    window->AddButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='C9' AND ClientTypeID='02' AND Bank='工行'")), 1);

    db().exec(QStringLiteral("INSERT INTO GatheringMaster(OrderID, ClientID) VALUES('G1', 'C9')"));
    choose(QStringLiteral("C9"));
    app->dialogs.answer(Answer::Ok);
    window->DeleteButton->click();
    EXPECT_EQ(last(), QStringLiteral("网络故障或者该信息正被其它表单使用，不能删除。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='C9'")), 1);
    EXPECT_TRUE(window->clients()->locate(QStringLiteral("ClientID"), QStringLiteral("C9")));

    db().exec(QStringLiteral("DELETE FROM GatheringMaster"));
    app->dialogs.answer(Answer::Ok);
    focusOn(window->grid()->view());
    QTest::keyClick(window->grid()->view(), Qt::Key_Delete);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Client WHERE ClientID='C9'")), 0);
}

TEST_P(CorporationTest, SearchPrintAndExport)
{
    partner(QStringLiteral("S_1"), QStringLiteral("华南批发"), QStringLiteral("01"));
    partner(QStringLiteral("S21"), QStringLiteral("华北批发"), QStringLiteral("01"));
    open();
    SearchBar *s = window->search();
    s->check(0)->setChecked(true);
    s->edit(0)->setText(QStringLiteral("_"));
    window->find();
    EXPECT_EQ(window->clients()->recordCount(), 1);
    s->check(1)->setChecked(true);
    s->edit(0)->setText(QStringLiteral("S"));
    s->edit(1)->setText(QStringLiteral("华北"));
    window->find();
    EXPECT_EQ(window->clients()->recordCount(), 1);
    EXPECT_EQ(window->clients()->text(QStringLiteral("ClientID")), QStringLiteral("S21"));
    s->check(0)->setChecked(false);
    s->check(1)->setChecked(false);
    window->find();
    EXPECT_EQ(window->clients()->recordCount(), 5);

    const QString text = printed([this] { window->PrintButton->click(); });
    EXPECT_TRUE(text.contains(QStringLiteral("华南批发")));
    window->ExportButton->click();
    EXPECT_EQ(app->dialogs.openedUrls.size(), 1);
}

TEST_P(CorporationTest, QueryRightsOnlyDisableEditing)
{
    open(false);
    expectEditingDisabled(window.get(), {QStringLiteral("DeleteButton"), QStringLiteral("EditButton"), QStringLiteral("AddButton")});
    focusOn(window->grid()->view());
    QTest::keyClick(window->grid()->view(), Qt::Key_Insert);
    QTest::keyClick(window->grid()->view(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(window->clients()->isEditing());
    EXPECT_EQ(window->clients()->recordCount(), 3);
}

VELMORA_ON_BOTH_ENGINES(CorporationTest);
