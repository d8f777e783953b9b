#include "basedata_fixture.h"
#include "commodity.h"

class CommodityTest : public WindowTest<TFSetup_commodity> {
protected:
    void category(const QString &code, const QString &name, const QString &up)
    {
        db().exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName, UpMerchandiseTypeID) "
                                 "VALUES(:c, :n, :u)"),
                  {{QStringLiteral("c"), code}, {QStringLiteral("n"), name}, {QStringLiteral("u"), up.isNull() ? QStringLiteral("") : up}});
    }
    void goods(const QString &id, const QString &name, const QString &type)
    {
        db().exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseName, MerchandiseTypeID) VALUES(:i, :n, :t)"),
                  {{QStringLiteral("i"), id}, {QStringLiteral("n"), name}, {QStringLiteral("t"), type}});
    }
    void select(const QString &name)
    {
        QTreeWidgetItem *item = window->tree()->findName(name);
        ASSERT_NE(item, nullptr) << name.toStdString();
        window->tree()->setCurrentItem(item);
    }
    QString codeOf(const QString &name)
    {
        return db().scalar(QStringLiteral("SELECT MerchandiseTypeID FROM MerchandiseType WHERE MerchandiseTypeName = :n"),
                           {{QStringLiteral("n"), name}}).toString();
    }
};

TEST_P(CommodityTest, CategoriesGetThreeDigitsPerLevelInOneAddLoop)
{
    open();
    answerInput(QStringLiteral("手机"));
    answerInput(QString()); // ends the loop
    window->tree()->addNodes();
    EXPECT_EQ(codeOf(QStringLiteral("手机")), QStringLiteral("001"));

    select(QStringLiteral("手机"));
    for (int i = 1; i <= 10; ++i)
        answerInput(QStringLiteral("品牌%1").arg(i));
    answerInput(QString());
    window->tree()->addNodes();
    EXPECT_EQ(codeOf(QStringLiteral("品牌1")), QStringLiteral("001001"));
    EXPECT_EQ(codeOf(QStringLiteral("品牌10")), QStringLiteral("001010"));
    EXPECT_EQ(window->tree()->findName(QStringLiteral("手机"))->childCount(), 10);

    // A name used anywhere in the tree is refused, and the loop goes on.
    answerInput(QStringLiteral("品牌3"));
    answerInput(QStringLiteral("配件"));
    answerInput(QString());
    window->tree()->addNodes();
    EXPECT_TRUE(app->dialogs.texts().contains(QStringLiteral("商品类别名称不能相同。")));
    EXPECT_EQ(codeOf(QStringLiteral("配件")), QStringLiteral("001011"));

    // The tree as stored after a rebuild.
    window->tree()->build();
    EXPECT_EQ(window->tree()->rootItem()->text(0), QStringLiteral("商品类别"));
    EXPECT_EQ(window->tree()->findName(QStringLiteral("手机"))->childCount(), 11);
}

TEST_P(CommodityTest, TheThousandthChildIsRefusedWithoutWritingARow)
{
    category(QStringLiteral("001"), QStringLiteral("手机"), QString());
    category(QStringLiteral("001999"), QStringLiteral("最后"), QStringLiteral("001"));
    open();
    select(QStringLiteral("手机"));
    answerInput(QStringLiteral("多余"));
    window->tree()->addNodes();
    EXPECT_EQ(last(), QStringLiteral("该类别下已经有999个下级类别，不能再增加。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MerchandiseType")), 2);
}

TEST_P(CommodityTest, TheRootIsNoCategory)
{
    open();
    window->tree()->setCurrentItem(window->tree()->rootItem());
    window->tree()->deleteNode();
    EXPECT_EQ(last(), QStringLiteral("不能删除商品类别。"));
    window->tree()->renameNode();
    EXPECT_EQ(last(), QStringLiteral("不能修改商品类别。"));
    window->AddButton->click();
    EXPECT_EQ(last(), QStringLiteral("不能在最高级增加商品资料。"));
    EXPECT_EQ(window->goods()->recordCount(), 0);
    EXPECT_FALSE(window->goods()->isEditing());
}

TEST_P(CommodityTest, RenameRefusesATakenNameAndKeepsTheCode)
{
    category(QStringLiteral("001"), QStringLiteral("手机"), QString());
    category(QStringLiteral("001001"), QStringLiteral("诺基"), QStringLiteral("001"));
    open();
    select(QStringLiteral("诺基"));
    answerInput(QStringLiteral("手机"));
    window->tree()->renameNode();
    EXPECT_EQ(last(), QStringLiteral("商品类别名称不能相同。"));
    answerInput(QStringLiteral("摩托"));
    window->tree()->renameNode();
    EXPECT_EQ(codeOf(QStringLiteral("摩托")), QStringLiteral("001001"));
    EXPECT_EQ(window->tree()->currentItem()->text(0), QStringLiteral("摩托"));
}

TEST_P(CommodityTest, DeletingACategoryTakesItsGoodsAndLowerLevelsOrNothing)
{
    category(QStringLiteral("001"), QStringLiteral("手机"), QString());
    category(QStringLiteral("001001"), QStringLiteral("诺基"), QStringLiteral("001"));
    category(QStringLiteral("001001001"), QStringLiteral("旧款"), QStringLiteral("001001"));
    category(QStringLiteral("002"), QStringLiteral("配件"), QString());
    category(QStringLiteral("002001"), QStringLiteral("电池"), QStringLiteral("002"));
    goods(QStringLiteral("N1"), QStringLiteral("诺基1"), QStringLiteral("001"));
    goods(QStringLiteral("B1"), QStringLiteral("电池1"), QStringLiteral("002001"));
    open();

    // Goods of a lower level keep the whole batch from happening.
    select(QStringLiteral("配件"));
    app->dialogs.answer(Answer::Ok);
    window->tree()->deleteNode();
    EXPECT_EQ(last(), QStringLiteral("网络故障或者该信息正被其它表单使用，不能删除。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MerchandiseType WHERE MerchandiseTypeID LIKE '002%'")), 2);

    select(QStringLiteral("手机"));
    app->dialogs.answer(Answer::Cancel);
    window->tree()->deleteNode();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MerchandiseType")), 5);
    app->dialogs.answer(Answer::Ok);
    window->tree()->deleteNode();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MerchandiseType")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Merchandise")), 1);
    EXPECT_EQ(window->tree()->findName(QStringLiteral("手机")), nullptr);
}

TEST_P(CommodityTest, NewGoodsFollowOneAnotherAndAnEditCloses)
{
    category(QStringLiteral("001"), QStringLiteral("手机"), QString());
    db().exec(QStringLiteral("INSERT INTO Config(ConfigName) VALUES('标配')"));
    open();
    select(QStringLiteral("手机"));
    app->dialogs.onDialog([](QDialog *d) {
        fill(d, {{QStringLiteral("MerchandiseID"), QStringLiteral("M001")},
                 {QStringLiteral("MerchandiseName"), QStringLiteral("翻盖机")},
                 {QStringLiteral("MerchandiseConfigID"), QStringLiteral("标配")}});
        clickOk(d);
        EXPECT_TRUE(d->isVisible()); // the next new row is waiting
        EXPECT_TRUE(d->findChild<QLineEdit *>(QStringLiteral("MerchandiseID"))->text().isEmpty());
        fill(d, {{QStringLiteral("MerchandiseID"), QStringLiteral("M002")}, {QStringLiteral("MerchandiseName"), QStringLiteral("直板机")}});
        clickOk(d);
        QTest::mouseClick(static_cast<RecordDialog *>(d)->cancelButton, Qt::LeftButton);
        return -1;
    });
    window->AddButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Merchandise WHERE MerchandiseTypeID='001'")), 2);
    EXPECT_EQ(window->goods()->recordCount(), 2);
    EXPECT_FALSE(window->goods()->isEditing());
    ASSERT_TRUE(window->goods()->locate(QStringLiteral("MerchandiseID"), QStringLiteral("M001")));
    EXPECT_EQ(window->goods()->text(QStringLiteral("ConfigName")), QStringLiteral("标配"));

    int result = -2;
    app->dialogs.onDialog([&result](QDialog *d) {
        fill(d, {{QStringLiteral("MerchandiseName"), QStringLiteral("翻盖机二代")}});
        clickOk(d);
        result = d->result();
        return -1;
    });
    window->EditButton->click();
    EXPECT_EQ(result, int(QDialog::Accepted));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Merchandise WHERE MerchandiseName='翻盖机二代'")), 1);
}

TEST_P(CommodityTest, GoodsChecksAndNumberChanges)
{
    category(QStringLiteral("001"), QStringLiteral("手机"), QString());
    goods(QStringLiteral("M001"), QStringLiteral("翻盖机"), QStringLiteral("001"));
    goods(QStringLiteral("M002"), QStringLiteral("直板机"), QStringLiteral("001"));
    open();
    select(QStringLiteral("手机"));
    DataSet *g = window->goods();
    ASSERT_EQ(g->recordCount(), 2);

    struct Case {
        const char *id, *name, *message;
    } cases[] = {
        {"  ", "新机", "请输入商品编号。"},
        {"M009", " ", "请输入商品名称。"},
        {"M002", "新机", "商品编号不能相同。"},
    };
    for (const Case &c : cases) {
        g->append();
        g->setValue(QStringLiteral("MerchandiseID"), QString::fromUtf8(c.id));
        g->setValue(QStringLiteral("MerchandiseName"), QString::fromUtf8(c.name));
        EXPECT_FALSE(window->post(*g, QString()));
        EXPECT_EQ(last(), QString::fromUtf8(c.message));
        EXPECT_EQ(g->state(), DataSet::State::Insert);
        g->cancel();
    }

    // Changing a number to another goods' number is refused and the edit kept;
    // an edit that keeps its own number is not checked against itself.
    ASSERT_TRUE(g->locate(QStringLiteral("MerchandiseID"), QStringLiteral("M001")));
    g->setValue(QStringLiteral("MerchandiseID"), QStringLiteral("M002"));
    EXPECT_FALSE(window->post(*g, QString()));
    EXPECT_EQ(last(), QStringLiteral("商品编号不能相同。"));
    EXPECT_EQ(g->state(), DataSet::State::Edit);
    g->setValue(QStringLiteral("MerchandiseID"), QStringLiteral("M001"));
    g->setValue(QStringLiteral("Spec"), QStringLiteral("T9"));
    EXPECT_TRUE(window->post(*g, QString()));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Merchandise WHERE MerchandiseID='M001' AND Spec='T9'")), 1);
    g->setValue(QStringLiteral("MerchandiseID"), QStringLiteral("M003"));
    EXPECT_TRUE(window->post(*g, QString()));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Merchandise WHERE MerchandiseID IN ('M002','M003')")), 2);
}

TEST_P(CommodityTest, SearchCombinesTickedBoxesAndMatchesWildcardsLiterally)
{
    category(QStringLiteral("001"), QStringLiteral("手机"), QString());
    category(QStringLiteral("002"), QStringLiteral("配件"), QString());
    goods(QStringLiteral("A%1"), QStringLiteral("百分机"), QStringLiteral("001"));
    goods(QStringLiteral("AB1"), QStringLiteral("翻盖机"), QStringLiteral("001"));
    goods(QStringLiteral("A_2"), QStringLiteral("翻盖电池"), QStringLiteral("002"));
    open();
    SearchBar *s = window->search();
    struct Case {
        bool byId;
        const char *id;
        bool byName;
        const char *name;
        int found;
    } cases[] = {
        {false, "", false, "", 3},      // no box: all goods of all categories
        {true, "A", true, "翻盖", 2},   // both boxes
        {true, "B", true, "翻盖", 1},
        {true, "%", false, "", 1},      // "%" is itself
        {true, "_", false, "", 1},
        {false, "", true, "不存在", 0},
    };
    for (const Case &c : cases) {
        s->check(0)->setChecked(c.byId);
        s->edit(0)->setText(QString::fromUtf8(c.id));
        s->check(1)->setChecked(c.byName);
        s->edit(1)->setText(QString::fromUtf8(c.name));
        app->dialogs.asked.clear();
        QTest::mouseClick(s->findButton(), Qt::LeftButton);
        EXPECT_EQ(window->goods()->recordCount(), c.found) << c.id << " " << c.name;
        EXPECT_EQ(last(), c.found ? QString() : QStringLiteral("没有符合条件的记录。"));
    }
}

TEST_P(CommodityTest, DeletingGoodsAsksAndPrintingAndExportShowTheList)
{
    category(QStringLiteral("001"), QStringLiteral("手机"), QString());
    goods(QStringLiteral("M001"), QStringLiteral("翻盖机"), QStringLiteral("001"));
    open();
    window->DeleteButton->click();
    EXPECT_EQ(last(), QStringLiteral("没有记录可以删除。"));
    select(QStringLiteral("手机"));

    const QString text = printed([this] { window->PrintButton->click(); });
    EXPECT_TRUE(text.contains(QStringLiteral("翻盖机"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("商品编号")));
    window->ExportButton->click();
    EXPECT_EQ(app->dialogs.openedUrls.size(), 1);

    app->dialogs.answer(Answer::Cancel);
    window->DeleteButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Merchandise")), 1);
    app->dialogs.answer(Answer::Ok);
    window->DeleteButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Merchandise")), 0);
    EXPECT_EQ(window->goods()->recordCount(), 0);
}

TEST_P(CommodityTest, QueryRightsOnlyDisableEditing)
{
    category(QStringLiteral("001"), QStringLiteral("手机"), QString());
    goods(QStringLiteral("M001"), QStringLiteral("翻盖机"), QStringLiteral("001"));
    open(false);
    select(QStringLiteral("手机"));
    expectEditingDisabled(window.get(), {QStringLiteral("DeleteButton"), QStringLiteral("AddButton"), QStringLiteral("EditButton")});
    EXPECT_TRUE(window->PrintButton->isEnabled());
    window->tree()->addNodes();
    EXPECT_EQ(last(), QStringLiteral("对不起，你只有查询权。"));
    focusOn(window->grid()->view());
    QTest::keyClick(window->grid()->view(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(window->grid()->view(), Qt::Key_Delete);
    EXPECT_EQ(window->goods()->recordCount(), 1);
    EXPECT_FALSE(window->goods()->isEditing());
}

VELMORA_ON_BOTH_ENGINES(CommodityTest);
