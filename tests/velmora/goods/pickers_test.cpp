#include "dataset.h"
#include "dataset_model.h"
#include "dbgrid.h"
#include "select_dropdown.h"
#include "select_goods.h"
#include "select_partner.h"
#include "testapp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

namespace {

QStringList column(DataSet *ds, const QString &field)
{
    QStringList out;
    const int f = ds->fieldIndex(field);
    for (int r = 0; r < ds->recordCount(); ++r)
        out << sqlvalue::toString(ds->valueAt(r, f)).trimmed();
    return out;
}

QStringList headers(DBGrid *grid)
{
    QStringList out;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        out << grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return out;
}

void type(QLineEdit *edit, QCheckBox *box, const QString &text)
{
    box->setChecked(!text.isNull());
    edit->setText(text);
}

} // namespace

class PickersTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        app = std::make_unique<TestApp>(GetParam());
        Database &db = app->db();
        db.exec(QStringLiteral("INSERT INTO Client(ClientID, ClientName, CostType, FactCost) VALUES"
                               "('C1','O''Brien 通讯',1,1200.5),('C2','50%折扣店',0,0),('C_3','大华通讯',0,30)"));
        db.exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName, UpMerchandiseTypeID) VALUES"
                               "('001','手机',''),('001001','智能机','001'),('002','配件','')"));
        db.exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseTypeID, MerchandiseName, Unit, Magistral) VALUES"
                               "('P1','001','甲机','台',1),('P2','001001','乙机','台',0),('A_1','002','数据线','根',0),"
                               "('N1',NULL,'散件','个',0)"));
        db.exec(QStringLiteral("INSERT INTO Storehouse(StorehouseName) VALUES('仓库二')"));
        db.exec(QStringLiteral("INSERT INTO Color(ColorName) VALUES('黑'),('白'),('红')"));
        db.exec(QStringLiteral("INSERT INTO CostAccount(AccountName) VALUES('银行')"));
        db.exec(QStringLiteral("INSERT INTO CostItem(ItemTypeID, ItemName) VALUES(1,'房租'),(0,'水电')"));
        db.exec(QStringLiteral("INSERT INTO CompanyConstruction(DepartID, DepartName) VALUES('001','门市部')"));
        db.exec(QStringLiteral("INSERT INTO Clerk(ClerkID, ClerkName, DepartID) VALUES('E1','张三','001'),('E2','李四','001')"));
        stock(QStringLiteral("P1"), QStringLiteral("门市"), 2);
        stock(QStringLiteral("A_1"), QStringLiteral("门市"), 0); // once held, sold out
        stock(QStringLiteral("N1"), QStringLiteral("门市"), 1);
        stock(QStringLiteral("P2"), QStringLiteral("仓库二"), 5);
        app->ctx.vars.SelMerchandiseID = QStringLiteral("OLD");
        app->ctx.vars.SelMerchandiseName = QStringLiteral("旧");
        app->ctx.vars.SelMerchandiseTypeName = QStringLiteral("旧类");
    }
    void stock(const QString &goods, const QString &store, int amount)
    {
        app->db().exec(QStringLiteral("INSERT INTO StockMaster(MerchandiseID, StorehouseID, StockAmount) "
                                      "SELECT :g, StorehouseID, :a FROM Storehouse WHERE StorehouseName = :s"),
                       {{QStringLiteral("g"), goods}, {QStringLiteral("a"), amount}, {QStringLiteral("s"), store}});
    }
    QString id(const QString &sql) { return sqlvalue::toString(app->db().scalar(sql)); }
    void expectVarsUnchanged()
    {
        EXPECT_EQ(app->ctx.vars.SelMerchandiseID, QStringLiteral("OLD"));
        EXPECT_EQ(app->ctx.vars.SelMerchandiseName, QStringLiteral("旧"));
        EXPECT_EQ(app->ctx.vars.SelMerchandiseTypeName, QStringLiteral("旧类"));
    }
    std::unique_ptr<TestApp> app;
};

// ---- partner ----------------------------------------------------------------------

TEST_P(PickersTest, PartnerSearchCombinesTheTickedBoxesAndTakesTypedTextLiterally)
{
    TFSelect_corporation dlg(app->ctx);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("选择往来单位"));
    EXPECT_EQ(headers(dlg.DBGridEh1), (QStringList{QStringLiteral("单位编号"), QStringLiteral("单位名称"),
                                                    QStringLiteral("金额类别"), QStringLiteral("金额")}));
    EXPECT_EQ(dlg.query->recordCount(), 6); // the three default partners too
    ASSERT_TRUE(dlg.query->locate(QStringLiteral("ClientID"), QStringLiteral("C1")));
    const int row = dlg.query->recNo();
    auto shown = [&](const char *field) {
        const int c = dlg.DBGridEh1->model()->columnOfField(QString::fromLatin1(field));
        return dlg.DBGridEh1->model()->index(row, c).data().toString();
    };
    EXPECT_EQ(shown("CostTypeName"), QStringLiteral("应收"));
    EXPECT_EQ(shown("FactCost"), QStringLiteral("1,200.50"));

    struct Case {
        QString id, name; // null: box not ticked
        QStringList found;
    } cases[] = {
        {{}, {}, {QStringLiteral("1000"), QStringLiteral("2000"), QStringLiteral("3000"), QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C_3")}},
        {{}, QStringLiteral("通讯"), {QStringLiteral("C1"), QStringLiteral("C_3")}},
        {QStringLiteral("_"), {}, {QStringLiteral("C_3")}},          // "_" is no wildcard
        {{}, QStringLiteral("%"), {QStringLiteral("C2")}},           // nor is "%"
        {{}, QStringLiteral("O'Brien"), {QStringLiteral("C1")}},     // a quote is just text
        {QStringLiteral("C"), QStringLiteral("通讯"), {QStringLiteral("C1"), QStringLiteral("C_3")}},
        {QStringLiteral("2"), QStringLiteral("通讯"), {}},          // both must hold
        {QStringLiteral(""), {}, {QStringLiteral("1000"), QStringLiteral("2000"), QStringLiteral("3000"), QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C_3")}},
    };
    for (const Case &c : cases) {
        app->dialogs.asked.clear();
        type(dlg.Edit1, dlg.CheckBox1, c.id);
        type(dlg.Edit2, dlg.CheckBox2, c.name);
        QTest::mouseClick(dlg.FindButton, Qt::LeftButton);
        EXPECT_EQ(column(dlg.query, QStringLiteral("ClientID")), c.found) << c.id.toStdString() << "/" << c.name.toStdString();
        if (c.found.isEmpty()) {
            ASSERT_EQ(app->dialogs.asked.size(), 1);
            EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("没有符合条件的记录。"));
            EXPECT_EQ(app->dialogs.asked[0].caption, QStringLiteral("提示"));
            EXPECT_EQ(app->dialogs.asked[0].icon, MsgIcon::Information);
        } else {
            EXPECT_TRUE(app->dialogs.asked.isEmpty());
        }
    }
}

TEST_P(PickersTest, PartnerPickerByKeyboardAndMouse)
{
    QString clientId = QStringLiteral("X"), clientName = QStringLiteral("原单位");
    // Ctrl+F searches, Enter on the grid picks the current row.
    app->dialogs.onDialog([](QDialog *d) {
        auto *dlg = static_cast<TFSelect_corporation *>(d);
        type(dlg->Edit2, dlg->CheckBox2, QStringLiteral("大华"));
        focusOn(dlg->DBGridEh1->view());
        QTest::keyClick(dlg->DBGridEh1->view(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_EQ(dlg->query->recordCount(), 1);
        QTest::keyClick(dlg->DBGridEh1->view(), Qt::Key_Return);
        return -1;
    });
    EXPECT_TRUE(PickPartner(app->ctx, nullptr, clientId, clientName));
    EXPECT_EQ(clientId, QStringLiteral("C_3"));
    EXPECT_EQ(clientName, QStringLiteral("大华通讯"));

    // Esc cancels and leaves the caller's partner as it was.
    app->dialogs.onDialog([](QDialog *d) {
        auto *dlg = static_cast<TFSelect_corporation *>(d);
        focusOn(dlg->DBGridEh1->view());
        QTest::keyClick(dlg->DBGridEh1->view(), Qt::Key_Down);
        QTest::keyClick(dlg->DBGridEh1->view(), Qt::Key_Escape);
        EXPECT_FALSE(dlg->isVisible());
        return -1;
    });
    EXPECT_FALSE(PickPartner(app->ctx, nullptr, clientId, clientName));
    EXPECT_EQ(clientName, QStringLiteral("大华通讯"));

    // A double click picks; 确定 on an empty list chooses nothing and stays open.
    app->dialogs.onDialog([](QDialog *d) {
        auto *dlg = static_cast<TFSelect_corporation *>(d);
        type(dlg->Edit1, dlg->CheckBox1, QStringLiteral("nobody"));
        QTest::mouseClick(dlg->FindButton, Qt::LeftButton);
        QTest::mouseClick(dlg->OkButton, Qt::LeftButton);
        EXPECT_TRUE(dlg->isVisible());
        type(dlg->Edit1, dlg->CheckBox1, QStringLiteral("C2"));
        QTest::mouseClick(dlg->FindButton, Qt::LeftButton);
        QAbstractItemView *v = dlg->DBGridEh1->view();
        const QRect cell = v->visualRect(v->model()->index(0, 1));
        // As a real double click arrives: the second press comes with the double-click event.
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mousePress(v->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cell.center());
        return -1;
    });
    EXPECT_TRUE(PickPartner(app->ctx, nullptr, clientId, clientName));
    EXPECT_EQ(clientName, QStringLiteral("50%折扣店"));
    EXPECT_EQ(app->dialogs.texts(), QStringList{QStringLiteral("没有符合条件的记录。")});
}

// ---- goods from the catalogue -------------------------------------------------------

TEST_P(PickersTest, CatalogueTreeListsTheGoodsOfTheChosenTypeOnly)
{
    TFSelect_commodity dlg(app->ctx);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("选择商品"));
    EXPECT_EQ(column(dlg.query, QStringLiteral("MerchandiseID")),
              (QStringList{QStringLiteral("A_1"), QStringLiteral("N1"), QStringLiteral("P1"), QStringLiteral("P2")}));
    EXPECT_EQ(headers(dlg.DBGridEh1),
              (QStringList{QStringLiteral("商品编号"), QStringLiteral("商品名称"), QStringLiteral("单位"), QStringLiteral("规格"),
                           QStringLiteral("产地"), QStringLiteral("等级"), QStringLiteral("主推机型"), QStringLiteral("配置"),
                           QStringLiteral("备注")}));

    GoodsTypeTree *tree = dlg.TreeView1;
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->root();
    EXPECT_EQ(root->text(0), QStringLiteral("商品类别"));
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("手机"));
    ASSERT_EQ(root->child(0)->childCount(), 1);
    EXPECT_EQ(root->child(0)->child(0)->text(0), QStringLiteral("智能机"));
    EXPECT_TRUE(root->child(0)->isExpanded());

    struct Case {
        const char *typeId; // "" the root
        QStringList goods;
    } cases[] = {
        {"", {QStringLiteral("N1")}},        // the root: goods without a type
        {"001", {QStringLiteral("P1")}},     // sub-types' goods are not included
        {"001001", {QStringLiteral("P2")}},  // a type by its own ID
        {"002", {QStringLiteral("A_1")}},
    };
    for (const Case &c : cases) {
        QTreeWidgetItem *item = tree->findType(QString::fromLatin1(c.typeId));
        ASSERT_TRUE(item) << c.typeId;
        const QRect r = tree->visualItemRect(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
        EXPECT_EQ(column(dlg.query, QStringLiteral("MerchandiseID")), c.goods) << c.typeId;
    }
    EXPECT_TRUE(app->dialogs.asked.isEmpty());
}

TEST_P(PickersTest, CatalogueSearchAndTheSharedVariables)
{
    struct Case {
        QString id, name;
        QStringList goods;
    } cases[] = {
        {{}, {}, {QStringLiteral("A_1"), QStringLiteral("N1"), QStringLiteral("P1"), QStringLiteral("P2")}},
        {QStringLiteral("_"), {}, {QStringLiteral("A_1")}},
        {QStringLiteral("P"), QStringLiteral("乙"), {QStringLiteral("P2")}},
        {{}, QStringLiteral("机"), {QStringLiteral("P1"), QStringLiteral("P2")}},
        {{}, QStringLiteral("'"), {}},
    };
    TFSelect_commodity dlg(app->ctx);
    for (const Case &c : cases) {
        app->dialogs.asked.clear();
        type(dlg.Edit1, dlg.CheckBox1, c.id);
        type(dlg.Edit2, dlg.CheckBox2, c.name);
        dlg.find();
        EXPECT_EQ(column(dlg.query, QStringLiteral("MerchandiseID")), c.goods);
        EXPECT_EQ(app->dialogs.texts(), c.goods.isEmpty() ? QStringList{QStringLiteral("没有符合条件的记录。")} : QStringList{});
    }

    // Cancel leaves the shared variables alone, 确定 sets all three from the goods chosen.
    app->dialogs.onDialog([](QDialog *d) {
        auto *dlg = static_cast<TFSelect_commodity *>(d);
        focusOn(dlg->DBGridEh1->view());
        QTest::keyClick(dlg->DBGridEh1->view(), Qt::Key_Escape);
        return -1;
    });
    EXPECT_FALSE(PickGoods(app->ctx, nullptr));
    expectVarsUnchanged();

    app->dialogs.onDialog([](QDialog *d) {
        auto *dlg = static_cast<TFSelect_commodity *>(d);
        // Type 配件 chosen last, but the goods found by search is of 智能机.
        QTreeWidgetItem *item = dlg->TreeView1->findType(QStringLiteral("002"));
        dlg->TreeView1->setCurrentItem(item);
        type(dlg->Edit2, dlg->CheckBox2, QStringLiteral("乙机"));
        dlg->find();
        focusOn(dlg->DBGridEh1->view());
        QTest::keyClick(dlg->DBGridEh1->view(), Qt::Key_Return);
        return -1;
    });
    EXPECT_TRUE(PickGoods(app->ctx, nullptr));
    EXPECT_EQ(app->ctx.vars.SelMerchandiseID, QStringLiteral("P2"));
    EXPECT_EQ(app->ctx.vars.SelMerchandiseName, QStringLiteral("乙机"));
    EXPECT_EQ(app->ctx.vars.SelMerchandiseTypeName, QStringLiteral("智能机"));
}

// ---- goods from stock -----------------------------------------------------------------

TEST_P(PickersTest, StockPickerListsOneWarehousesHeadRows)
{
    TFSelect_Stock_commodity dlg(app->ctx, QStringLiteral("门市"));
    EXPECT_EQ(dlg.ComboBox1->currentText(), QStringLiteral("门市"));
    EXPECT_EQ(dlg.ComboBox1->count(), 2);
    // A sold-out goods still has its head row and is listed with 0.
    EXPECT_EQ(column(dlg.query, QStringLiteral("MerchandiseID")),
              (QStringList{QStringLiteral("A_1"), QStringLiteral("N1"), QStringLiteral("P1")}));
    EXPECT_EQ(column(dlg.query, QStringLiteral("StockAmount")), (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(headers(dlg.DBGridEh1).last(), QStringLiteral("数量"));

    struct Step {
        std::function<void()> act;
        QStringList goods;
    } steps[] = {
        {[&] { dlg.TreeView1->setCurrentItem(dlg.TreeView1->root()); }, {QStringLiteral("N1")}},
        {[&] { dlg.TreeView1->setCurrentItem(dlg.TreeView1->findType(QStringLiteral("001"))); }, {QStringLiteral("P1")}},
        {[&] { dlg.TreeView1->setCurrentItem(dlg.TreeView1->findType(QStringLiteral("001001"))); }, {}},
        // Another warehouse: the same type there.
        {[&] { dlg.ComboBox1->setCurrentText(QStringLiteral("仓库二")); }, {QStringLiteral("P2")}},
        {[&] {
             type(dlg.Edit2, dlg.CheckBox2, QStringLiteral("%"));
             QTest::mouseClick(dlg.FindButton, Qt::LeftButton);
         },
         {}},
        {[&] {
             type(dlg.Edit1, dlg.CheckBox1, QStringLiteral("_"));
             type(dlg.Edit2, dlg.CheckBox2, {});
             dlg.ComboBox1->setCurrentText(QStringLiteral("门市"));
         },
         {QStringLiteral("A_1")}},
        {[&] {
             type(dlg.Edit1, dlg.CheckBox1, {});
             dlg.find();
         },
         {QStringLiteral("A_1"), QStringLiteral("N1"), QStringLiteral("P1")}},
    };
    int n = 0;
    for (const Step &s : steps) {
        s.act();
        EXPECT_EQ(column(dlg.query, QStringLiteral("MerchandiseID")), s.goods) << "step " << n++;
    }
    EXPECT_TRUE(app->dialogs.asked.isEmpty()); // the stock search never says "nothing found"

    TFSelect_Stock_commodity nowhere(app->ctx, QStringLiteral("无此仓库"));
    EXPECT_EQ(nowhere.query->recordCount(), 0);
}

TEST_P(PickersTest, PickStockGoodsSetsTheSharedVariablesOnlyOnOk)
{
    app->dialogs.onDialog([](QDialog *d) {
        auto *dlg = static_cast<TFSelect_Stock_commodity *>(d);
        QTest::mouseClick(dlg->CancelButton, Qt::LeftButton);
        return -1;
    });
    EXPECT_FALSE(PickStockGoods(app->ctx, nullptr, QStringLiteral("门市")));
    expectVarsUnchanged();

    app->dialogs.onDialog([](QDialog *d) {
        auto *dlg = static_cast<TFSelect_Stock_commodity *>(d);
        focusOn(dlg->DBGridEh1->view());
        QTest::keyClick(dlg->DBGridEh1->view(), Qt::Key_Down);
        QTest::keyClick(dlg->DBGridEh1->view(), Qt::Key_Down);
        QTest::mouseClick(dlg->OkButton, Qt::LeftButton);
        return -1;
    });
    EXPECT_TRUE(PickStockGoods(app->ctx, nullptr, QStringLiteral("门市")));
    EXPECT_EQ(app->ctx.vars.SelMerchandiseID, QStringLiteral("P1"));
    EXPECT_EQ(app->ctx.vars.SelMerchandiseName, QStringLiteral("甲机"));
}

// ---- drop-down pickers ------------------------------------------------------------------

TEST(DropDownPlace, UnderTheEditorAndInsideTheWorkArea)
{
    const QRect work(0, 0, 800, 560); // a task bar below
    struct Case {
        QRect editor;
        QSize size;
        QRect expected;
    } cases[] = {
        {{100, 100, 80, 20}, {200, 150}, {100, 120, 200, 150}},  // one pixel below the editor
        {{700, 100, 80, 20}, {200, 150}, {600, 120, 200, 150}},  // moved left to keep its right edge in
        {{-30, 100, 80, 20}, {200, 150}, {0, 120, 200, 150}},    // editor half off the left
        {{10, 100, 80, 20}, {900, 150}, {0, 120, 800, 150}},     // narrowed to the work area
        {{100, 500, 80, 20}, {200, 150}, {100, 350, 200, 150}},  // more room above: above the editor
        {{100, 150, 80, 20}, {200, 450}, {100, 170, 200, 390}},  // more room below: cut at the bottom
        {{100, 300, 80, 20}, {200, 400}, {100, 0, 200, 300}},    // above, cut at the top
    };
    for (const Case &c : cases) {
        const QRect r = DropDownPick::place(c.editor, c.size, work);
        EXPECT_EQ(r, c.expected) << c.editor.x() << "," << c.editor.y();
        EXPECT_TRUE(work.contains(r));
    }
}

TEST_P(PickersTest, DropDownPickersStartOnTheCellsKeyAndEnterPicks)
{
    QWidget host;
    auto *editor = new QLineEdit(&host);
    host.resize(300, 100);
    host.show();

    const QString black = id(QStringLiteral("SELECT ColorID FROM Color WHERE ColorName='黑'"));
    const QString white = id(QStringLiteral("SELECT ColorID FROM Color WHERE ColorName='白'"));
    const QString rent = id(QStringLiteral("SELECT ItemID FROM CostItem WHERE ItemName='房租'"));
    const QString water = id(QStringLiteral("SELECT ItemID FROM CostItem WHERE ItemName='水电'"));
    const QString bank = id(QStringLiteral("SELECT AccountID FROM CostAccount WHERE AccountName='银行'"));
    QString accountName;
    struct Case {
        const char *picker;
        QString key, startsOn, picked;
        QStringList headers;
        std::function<bool(QString &)> pick;
    } cases[] = {
        {"TFSelect_Color", black, QStringLiteral("黑"), white, {QStringLiteral("颜色")},
         [&](QString &k) { return PickColor(app->ctx, editor, k); }},
        {"TFSelect_clerk", QStringLiteral("E1"), QStringLiteral("E1"), QStringLiteral("E2"),
         {QStringLiteral("员工代号"), QStringLiteral("员工姓名")}, [&](QString &k) { return PickClerk(app->ctx, editor, k); }},
        {"TFSelect_Item", rent, QStringLiteral("房租"), water, {QStringLiteral("项目名称")},
         [&](QString &k) { return PickItem(app->ctx, editor, k); }},
        {"TFSelect_PutCost", QStringLiteral("A2"), QStringLiteral("A2"), QStringLiteral("A3"),
         {QStringLiteral("项目编号"), QStringLiteral("项目名称")}, [&](QString &k) { return PickPutCost(app->ctx, editor, k); }},
        {"TFSelect_Account", QStringLiteral(""), QStringLiteral("现金"), bank, {QStringLiteral("帐户名称")},
         [&](QString &k) { return PickAccount(app->ctx, editor, k, accountName); }},
    };
    for (const Case &c : cases) {
        app->dialogs.onDialog([&](QDialog *d) {
            auto *dd = static_cast<DropDownPick *>(d);
            EXPECT_EQ(d->objectName().toStdString(), c.picker);
            EXPECT_EQ(headers(dd->grid), c.headers);
            auto *v = static_cast<QTableView *>(dd->grid->view());
            EXPECT_EQ(v->currentIndex().data().toString(), c.startsOn);
            // The window follows its columns' widths.
            const int width = d->width();
            v->setColumnWidth(0, v->columnWidth(0) + 40);
            EXPECT_EQ(d->width(), width + 40);
            QTest::keyClick(v, Qt::Key_Down);
            QTest::keyClick(v, Qt::Key_Return);
            return -1;
        });
        QString key = c.key;
        EXPECT_TRUE(c.pick(key)) << c.picker;
        EXPECT_EQ(key, c.picked) << c.picker;
    }
    EXPECT_EQ(accountName, QStringLiteral("银行"));
}

TEST_P(PickersTest, ADropDownPickerClosedWithoutOkLeavesTheCell)
{
    QWidget host;
    auto *editor = new QLineEdit(&host);
    host.resize(300, 100);
    host.show();
    QWidget elsewhere;
    elsewhere.resize(100, 100);
    elsewhere.move(400, 300);
    elsewhere.show();

    using Close = std::function<void(DropDownPick *)>;
    const Close ways[] = {
        [](DropDownPick *p) { QTest::keyClick(p->grid->view(), Qt::Key_Escape); },
        [](DropDownPick *p) { QTest::mouseClick(p->cancelButton, Qt::LeftButton); },
        [&](DropDownPick *) { QTest::mouseClick(&elsewhere, Qt::LeftButton, {}, QPoint(50, 50)); },
    };
    int n = 0;
    for (const Close &close : ways) {
        app->dialogs.onDialog([&](QDialog *d) {
            auto *p = static_cast<DropDownPick *>(d);
            QTest::keyClick(p->grid->view(), Qt::Key_Down); // moved, but not chosen
            close(p);
            EXPECT_FALSE(p->isVisible()) << "way " << n;
            return -1;
        });
        QString key = QStringLiteral("A1");
        EXPECT_FALSE(PickPutCost(app->ctx, editor, key)) << "way " << n;
        EXPECT_EQ(key, QStringLiteral("A1"));
        ++n;
    }
    // The account picker leaves its name output alone too.
    app->dialogs.onDialog([](QDialog *d) {
        QTest::mouseClick(static_cast<DropDownPick *>(d)->cancelButton, Qt::LeftButton);
        return -1;
    });
    QString account = QStringLiteral("1"), name = QStringLiteral("现金");
    EXPECT_FALSE(PickAccount(app->ctx, editor, account, name));
    EXPECT_EQ(name, QStringLiteral("现金"));
}

TEST_P(PickersTest, ADropDownPickerStaysInsideTheScreensWorkArea)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(screen);
    const QRect work = screen->availableGeometry();
    QWidget host(nullptr, Qt::FramelessWindowHint);
    auto *editor = new QLineEdit(&host);
    editor->setGeometry(0, 0, 60, 20);
    host.setGeometry(work.right() - 60, work.bottom() - 25, 60, 20); // bottom-right corner
    host.show();

    app->dialogs.onDialog([&](QDialog *d) {
        const QRect r = d->geometry();
        EXPECT_TRUE(work.contains(r)) << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
        // Placed above the editor: it would not fit below.
        EXPECT_LE(r.bottom(), editor->mapToGlobal(QPoint(0, 0)).y());
        EXPECT_GT(r.width(), 0);
        return int(QDialog::Rejected);
    });
    QString clerk;
    EXPECT_FALSE(PickClerk(app->ctx, editor, clerk));
    EXPECT_TRUE(clerk.isEmpty());
}

VELMORA_ON_BOTH_ENGINES(PickersTest);
