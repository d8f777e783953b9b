#include "dataset.h"
#include "helpers.h"
#include "small_dialogs.h"
#include "testapp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

TEST(MoneyToChinese, WritesEveryDigitWithItsPlace)
{
    struct Case {
        const char *amount, *text;
    } cases[] = {
        {"0", "零分"},
        {"100", "壹佰零拾零元零角零分"},
        {"123.45", "壹佰贰拾叁元肆角伍分"},
        {"0.05", "伍分"},
        {"0.009", "壹分"},       // the extra 0.001 rounds up half fen
        {"12345678.9", "壹仟贰佰叁拾肆万伍仟陆佰柒拾捌元玖角零分"},
        {"999999999.99", "玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分"},
        {"1000000000", "壹拾零亿零仟零佰零拾零万零仟零佰零拾零元零角零分"},
        {"-123.45", "负壹佰贰拾叁元肆角伍分"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MoneyToChinese(Money::parse(QString::fromUtf8(c.amount))).toStdString(), c.text) << c.amount;
}

class HelpersTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        app = std::make_unique<TestApp>(GetParam());
        Database &db = app->db();
        db.exec(QStringLiteral("INSERT INTO Client(ClientID, ClientName) VALUES('C1','O''Brien 通讯'),('C2','50%折扣店'),('C3','大华通讯')"));
        db.exec(QStringLiteral("INSERT INTO CompanyConstruction(DepartID, DepartName) VALUES('001','门市部')"));
        db.exec(QStringLiteral("INSERT INTO Clerk(ClerkID, ClerkName, Pass, DepartID) VALUES('E1','张三','pw',  '001'),('E2','E1','x','001')"));
        db.exec(QStringLiteral("INSERT INTO Color(ColorName) VALUES('黑')"));
        db.exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName) VALUES('001','手机')"));
        db.exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseTypeID, MerchandiseName, Unit, Spec) VALUES"
                               "('PHONE','001','甲机','台','X1'),('CABLE','001','数据线','根',''),('NEW','001','新机','台','')"));
        head = [&](const QString &goods) {
            return qlonglong(db.insertReturningId(
                QStringLiteral("INSERT INTO StockMaster(MerchandiseID, StorehouseID, StockAmount) "
                               "SELECT :g, min(StorehouseID), 1 FROM Storehouse"),
                {{QStringLiteral("g"), goods}}, QStringLiteral("RecordID")));
        };
        db.exec(QStringLiteral("INSERT INTO StockDetail(OrderID, IMEI, Amount) VALUES(:h,'860000000000001',1)"),
                {{QStringLiteral("h"), head(QStringLiteral("PHONE"))}});
        db.exec(QStringLiteral("INSERT INTO StockDetail(OrderID, IMEI, Amount) VALUES(:h,'',5)"),
                {{QStringLiteral("h"), head(QStringLiteral("CABLE"))}});
    }
    std::unique_ptr<TestApp> app;
    std::function<qlonglong(const QString &)> head;
};

TEST_P(HelpersTest, LookupsAnswerOrGiveTheirInputBack)
{
    TFData &d = app->data;
    EXPECT_EQ(GetClientName(d, QStringLiteral("C1")), QStringLiteral("O'Brien 通讯"));
    EXPECT_EQ(GetClientName(d, QStringLiteral("X'9")), QStringLiteral("X'9"));
    EXPECT_EQ(GetClientID(d, QStringLiteral("Brien")), QStringLiteral("C1"));
    EXPECT_EQ(GetClientID(d, QStringLiteral("通讯")), QStringLiteral("C1")); // several match: the first
    EXPECT_EQ(GetClientID(d, QStringLiteral("%")), QStringLiteral("C2"));    // "%" matches itself only
    EXPECT_EQ(GetDepartID(d, QStringLiteral("门市部")), QStringLiteral("001"));
    EXPECT_EQ(GetClerkName(d, QStringLiteral("E1")), QStringLiteral("张三"));
    EXPECT_EQ(GetColorName(d, 999), QString());
    EXPECT_EQ(LookupStorehouseID(d, QStringLiteral("无此仓库")), QStringLiteral("''"));
    EXPECT_EQ(LookupClientID(d, QStringLiteral("大华通讯")), QStringLiteral("C3"));
    EXPECT_EQ(LookupClerkID(d, QStringLiteral("无此人")), QString());
    EXPECT_EQ(LookupAccountName(d, 12345), QStringLiteral("''"));

    QString id, name;
    EXPECT_TRUE(FindClerk(d, QStringLiteral("张三"), id, name));
    EXPECT_EQ(id, QStringLiteral("E1"));
    EXPECT_TRUE(FindClerk(d, QStringLiteral("E1"), id, name)); // an ID, or another clerk's name: the first row
    EXPECT_EQ(id, QStringLiteral("E1"));
    EXPECT_FALSE(FindClerk(d, QStringLiteral("nobody"), id, name));
    EXPECT_TRUE(id.isEmpty() && name.isEmpty());
}

TEST_P(HelpersTest, CombosAndGoodsFields)
{
    QComboBox box;
    box.setEditable(true);
    QString clerk;
    FillClerkCombo(app->data, &box, clerk);
    EXPECT_EQ(box.count(), 2);
    EXPECT_EQ(box.currentText(), QStringLiteral("张三"));
    EXPECT_EQ(clerk, QStringLiteral("E1"));
    FillStorehouseCombo(app->data, &box);
    EXPECT_EQ(box.currentText(), QStringLiteral("门市"));

    DataSet lines(&app->db());
    lines.setSql(QStringLiteral("SELECT * FROM SellDetail WHERE 1=0"));
    lines.open();
    lines.append();
    FillGoodsFields(app->data, lines, QStringLiteral("PHONE"));
    EXPECT_EQ(lines.text(QStringLiteral("MerchandiseName")), QStringLiteral("甲机"));
    EXPECT_EQ(lines.text(QStringLiteral("Unit")), QStringLiteral("台"));
    EXPECT_EQ(lines.text(QStringLiteral("Spec")), QStringLiteral("X1"));
}

TEST_P(HelpersTest, TheImeiRuleFollowsTheStockHeld)
{
    struct Case {
        const char *imei, *goods;
        bool mustBeNew;
        const char *refusal; // nullptr: accepted
    } cases[] = {
        {"860000000000009", "NEW", true, nullptr}, // never stocked: either form
        {"", "NEW", false, nullptr},
        {"", "PHONE", true, "该商品必需有IMEI号。"},
        {"", "PHONE", false, "该商品必需有IMEI号。"},
        {"860000000000001", "PHONE", true, "库存中已经有该IMEI号。"},
        {"860000000000001", "PHONE", false, nullptr},
        {"860000000000002", "PHONE", false, "库存中没有该IMEI号。"},
        {"860000000000002", "PHONE", true, nullptr},
        {"123", "CABLE", true, "该商品不能有IMEI号。"},
        {"", "CABLE", false, nullptr},
    };
    for (const Case &c : cases) {
        app->dialogs.asked.clear();
        const bool ok = CheckIMEI(app->ctx, nullptr, QString::fromLatin1(c.imei), QString::fromLatin1(c.goods), c.mustBeNew);
        EXPECT_EQ(ok, c.refusal == nullptr) << c.imei << " " << c.goods;
        if (c.refusal) {
            ASSERT_EQ(app->dialogs.asked.size(), 1);
            EXPECT_EQ(app->dialogs.lastText().toStdString(), c.refusal);
            EXPECT_EQ(app->dialogs.asked[0].icon, MsgIcon::Warning);
        } else {
            EXPECT_TRUE(app->dialogs.asked.isEmpty());
        }
    }
}

TEST_P(HelpersTest, StockWarningsOnlyWarnPastTheirLimits)
{
    struct Case {
        qlonglong quantity, limit;
        bool upper;
        bool warns;
    } cases[] = {
        {100, 0, true, false}, {11, 10, true, true}, {10, 10, true, false},
        {-1, 0, false, true},  {0, 0, false, false}, {4, 5, false, true}, {5, 5, false, false},
    };
    for (const Case &c : cases) {
        app->dialogs.asked.clear();
        if (c.upper)
            WarnStockUpper(app->ctx, nullptr, c.quantity, c.limit, QStringLiteral("甲机"));
        else
            WarnStockLower(app->ctx, nullptr, c.quantity, c.limit, QStringLiteral("甲机"));
        EXPECT_EQ(!app->dialogs.asked.isEmpty(), c.warns) << c.quantity << " " << c.limit;
    }
    WarnStockUpper(app->ctx, nullptr, 11, 10, QStringLiteral("甲机"));
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("商品：甲机 库存数量已经超过库存上限。"));
    WarnStockLower(app->ctx, nullptr, 1, 2, QStringLiteral("甲机"));
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("商品：甲机库存数量已经小于库存下限。"));
}

TEST_P(HelpersTest, ConditionsAreBoundAndWorkOnBothEngines)
{
    app->db().exec(QStringLiteral("INSERT INTO SellMaster(OrderID, SellDate, ClientID, Cost) VALUES"
                                  "('A', :d1, 'C1', 100), ('B', :d2, 'C1', 50), ('C', :d2, 'C3', 70)"),
                   {{QStringLiteral("d1"), QDateTime(QDate(2026, 1, 5), QTime(18, 0))},
                    {QStringLiteral("d2"), QDateTime(QDate(2026, 1, 6), QTime(9, 0))}});
    QString where;
    Params params;
    const Dialect &d = app->db().dialect();
    AddCondition(where, params, d, true, QStringLiteral("ClientID"), 1, QStringLiteral("C1' OR '1'='1"), QStringLiteral("<>"));
    AddCondition(where, params, d, false, QStringLiteral("ClientID"), 1, QStringLiteral("ignored"), QStringLiteral("="));
    AddCondition(where, params, d, true, QStringLiteral("Cost"), 2, QStringLiteral("60"), QStringLiteral(">="));
    AddCondition(where, params, d, true, QStringLiteral("SellDate"), 3, QDate(2026, 1, 6), QStringLiteral("<="));
    EXPECT_EQ(params.size(), 3);
    DataSet q(&app->db());
    ASSERT_TRUE(OpenSQL(q, QStringLiteral("SELECT OrderID FROM SellMaster WHERE 1=1 and ") + where, params));
    ASSERT_EQ(q.recordCount(), 2); // A and C: the typed quote is a value, not SQL
    where.clear();
    params.clear();
    AddCondition(where, params, d, true, QStringLiteral("SellDate"), 3, QDate(2026, 1, 5), QStringLiteral("="));
    ASSERT_TRUE(OpenSQL(q, QStringLiteral("SELECT OrderID FROM SellMaster WHERE ") + where, params));
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.text(QStringLiteral("OrderID")), QStringLiteral("A"));
    EXPECT_FALSE(OpenSQL(q, QStringLiteral("SELECT nosuch FROM SellMaster")));
    EXPECT_TRUE(app->dialogs.asked.isEmpty()); // RunSQL shows nothing
}

TEST_P(HelpersTest, SaveBatchReportsAndRecovers)
{
    DataSet colours(&app->db());
    colours.setSql(QStringLiteral("SELECT * FROM Color ORDER BY ColorID"));
    colours.setUpdateTable(QStringLiteral("Color"), {});
    colours.setBatchMode(true);
    colours.open();
    colours.append();
    colours.setValue(QStringLiteral("ColorName"), QStringLiteral("白"));
    EXPECT_TRUE(SaveBatch(app->ctx, nullptr, colours));
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("保存成功。"));

    colours.append();
    colours.setValue(QStringLiteral("ColorName"), QString(300, QLatin1Char('x'))); // too long for PostgreSQL
    colours.append();
    colours.setValue(QStringLiteral("ColorID"), colours.valueAt(0, 0)); // a duplicate key on both engines
    EXPECT_FALSE(SaveBatch(app->ctx, nullptr, colours));
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("保存失败。"));
    EXPECT_EQ(app->dialogs.asked.last().icon, MsgIcon::Error);
    EXPECT_EQ(colours.recordCount(), 2); // the stored rows again: 黑 and 白
    EXPECT_FALSE(colours.hasPendingUpdates());
}

TEST_P(HelpersTest, ClerkPasswordDialog)
{
    auto type = [](const QString &text) {
        return [text](QDialog *dlg) {
            auto *d = static_cast<TFInput_password *>(dlg);
            d->Edit1->setText(text);
            QTest::mouseClick(d->Button1, Qt::LeftButton);
            if (d->isVisible()) // refused: cancel
                QTest::mouseClick(d->Button2, Qt::LeftButton);
            return -1;
        };
    };
    app->dialogs.onDialog(type(QStringLiteral("PW")));
    EXPECT_FALSE(CheckClerkPassword(app->ctx, nullptr, QStringLiteral("E1"))); // case counts
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("密码不正确。"));
    app->dialogs.onDialog(type(QStringLiteral("pw")));
    EXPECT_TRUE(CheckClerkPassword(app->ctx, nullptr, QStringLiteral("E1")));
    app->dialogs.onDialog(type(QStringLiteral("pw")));
    EXPECT_FALSE(CheckClerkPassword(app->ctx, nullptr, QStringLiteral("NOBODY")));
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("没有该用户名。"));

    app->dialogs.onDialog([](QDialog *dlg) {
        auto *d = static_cast<TFMyInputbox *>(dlg);
        EXPECT_EQ(d->Edit1->text(), QStringLiteral("默认"));
        d->Edit1->setText(QStringLiteral("新值"));
        d->Edit1->setFocus();
        QTest::keyClick(d->Edit1, Qt::Key_Return);
        return -1;
    });
    EXPECT_EQ(MyInputBox(app->ctx, nullptr, QStringLiteral("标题"), QStringLiteral("请输入："), QStringLiteral("默认")),
              QStringLiteral("新值"));
    app->dialogs.onDialog([](QDialog *) { return int(QDialog::Rejected); });
    EXPECT_EQ(MyInputBox(app->ctx, nullptr, QStringLiteral("标题"), QStringLiteral("请输入："), QStringLiteral("默认")), QString());
}

VELMORA_ON_BOTH_ENGINES(HelpersTest);
