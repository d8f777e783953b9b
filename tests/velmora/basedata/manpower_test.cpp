#include "basedata_fixture.h"
#include "manpower.h"

class ManpowerTest : public WindowTest<TFSetup_manpower> {
protected:
    void department(const QString &id, const QString &name, const QString &up)
    {
        db().exec(QStringLiteral("INSERT INTO CompanyConstruction(DepartID, DepartName, UpDepartID) VALUES(:i, :n, :u)"),
                  {{QStringLiteral("i"), id}, {QStringLiteral("n"), name}, {QStringLiteral("u"), up.isNull() ? QStringLiteral("") : up}});
    }
    void clerk(const QString &id, const QString &name, const QString &depart, const QVariant &affair = {})
    {
        db().exec(QStringLiteral("INSERT INTO Clerk(ClerkID, ClerkName, DepartID, AffairID, Sex) VALUES(:i, :n, :d, :a, '男')"),
                  {{QStringLiteral("i"), id}, {QStringLiteral("n"), name}, {QStringLiteral("d"), depart}, {QStringLiteral("a"), affair}});
    }
    int duty(const QString &name)
    {
        return int(db().insertReturningId(QStringLiteral("INSERT INTO Affair(AffairName) VALUES(:n)"), {{QStringLiteral("n"), name}},
                                          QStringLiteral("AffairID")));
    }
    void select(const QString &name)
    {
        QTreeWidgetItem *item = window->tree()->findName(name);
        ASSERT_NE(item, nullptr);
        window->tree()->setCurrentItem(item);
    }
};

TEST_P(ManpowerTest, DepartmentsAreALevelTreeAndStaffNeedOne)
{
    open();
    window->tree()->setCurrentItem(window->tree()->rootItem());
    answerInput(QStringLiteral("门市部"));
    answerInput(QStringLiteral("  ")); // blank after trimming ends the loop
    window->tree()->addNodes();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CompanyConstruction WHERE DepartID='001' AND DepartName='门市部'")), 1);

    // With the root chosen no clerk can be started, in the grid or the form.
    window->tree()->setCurrentItem(window->tree()->rootItem());
    window->appendRow(window->grid());
    EXPECT_EQ(last(), QStringLiteral("不能在最高级增加员工资料。"));
    EXPECT_FALSE(window->staff()->isEditing());
    app->dialogs.asked.clear();
    window->AddButton->click();
    EXPECT_EQ(last(), QStringLiteral("不能在最高级增加员工资料。"));

    select(QStringLiteral("门市部"));
    window->appendRow(window->grid());
    EXPECT_EQ(window->staff()->text(QStringLiteral("Sex")), QStringLiteral("女"));
    EXPECT_EQ(window->staff()->text(QStringLiteral("DepartID")), QStringLiteral("001"));
    window->staff()->cancel();

    // A name taken at any level, and the root, are refused on rename.
    department(QStringLiteral("001001"), QStringLiteral("一组"), QStringLiteral("001"));
    window->tree()->build();
    select(QStringLiteral("门市部"));
    answerInput(QStringLiteral("一组"));
    window->tree()->renameNode();
    EXPECT_EQ(last(), QStringLiteral("部门类别名称不能相同。"));
    window->tree()->setCurrentItem(window->tree()->rootItem());
    window->tree()->deleteNode();
    EXPECT_EQ(last(), QStringLiteral("不能删除部门。"));
}

TEST_P(ManpowerTest, DepartmentsHaveAtMostFiveLevels)
{
    // The code column holds five levels; a sixth is refused, not cut short.
    QString up;
    for (int level = 1; level <= 5; ++level) {
        const QString code = up + QStringLiteral("001");
        department(code, QStringLiteral("第%1级").arg(level), up);
        up = code;
    }
    open();
    select(QStringLiteral("第5级"));
    answerInput(QStringLiteral("第6级"));
    window->tree()->addNodes();
    EXPECT_EQ(last(), QStringLiteral("类别已经达到最多级数，不能再增加下级类别。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CompanyConstruction")), 5);
}

TEST_P(ManpowerTest, DeletingADepartmentTakesItsStaffAndLowerDepartmentsWithoutStaff)
{
    department(QStringLiteral("001"), QStringLiteral("门市部"), QString());
    department(QStringLiteral("001001"), QStringLiteral("一组"), QString::fromLatin1("001"));
    department(QStringLiteral("002"), QStringLiteral("维修部"), QString());
    department(QStringLiteral("002001"), QStringLiteral("二组"), QString::fromLatin1("002"));
    clerk(QStringLiteral("A"), QStringLiteral("甲"), QStringLiteral("001"));
    clerk(QStringLiteral("B"), QStringLiteral("乙"), QStringLiteral("002"));
    clerk(QStringLiteral("C"), QStringLiteral("丙"), QStringLiteral("002001"));
    open();

    select(QStringLiteral("门市部"));
    app->dialogs.answer(Answer::Ok);
    window->tree()->deleteNode();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CompanyConstruction WHERE DepartID LIKE '001%'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Clerk WHERE ClerkID='A'")), 0);

    // The staff of a lower department are not deleted, so nothing is.
    select(QStringLiteral("维修部"));
    app->dialogs.answer(Answer::Ok);
    window->tree()->deleteNode();
    EXPECT_EQ(last(), QStringLiteral("网络故障或者该信息正被其它表单使用，不能删除。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Clerk")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CompanyConstruction")), 2);
}

TEST_P(ManpowerTest, TheFormEditsEveryFieldWithTheDutyByName)
{
    department(QStringLiteral("001"), QStringLiteral("门市部"), QString());
    duty(QStringLiteral("店长"));
    duty(QStringLiteral("营业员"));
    open();
    select(QStringLiteral("门市部"));
    app->dialogs.onDialog([](QDialog *d) {
        fill(d, {{QStringLiteral("ClerkID"), QStringLiteral("008")},
                 {QStringLiteral("ClerkName"), QStringLiteral("小王")},
                 {QStringLiteral("AffairID"), QStringLiteral("营业员")},
                 {QStringLiteral("Antecedents"), QStringLiteral("大专")},
                 {QStringLiteral("Birth"), QStringLiteral("1990-05-01")},
                 {QStringLiteral("Pass"), QStringLiteral("abc")}});
        EXPECT_EQ(d->findChild<QLineEdit *>(QStringLiteral("Pass"))->echoMode(), QLineEdit::Password);
        clickOk(d);
        return -1;
    });
    window->AddButton->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Clerk C JOIN Affair A ON C.AffairID = A.AffairID "
                                   "WHERE C.ClerkID='008' AND A.AffairName='营业员' AND C.Pass='abc' AND C.Antecedents='大专' "
                                   "AND C.Sex='女' AND C.DepartID='001'")),
              1);
    ASSERT_EQ(window->staff()->recordCount(), 1);
    EXPECT_EQ(window->staff()->text(QStringLiteral("AffairName")), QStringLiteral("营业员"));
    EXPECT_EQ(window->staff()->dateTime(QStringLiteral("Birth")).date(), QDate(1990, 5, 1));

    // In the grid the duty is typed by name.
    window->staff()->setValue(QStringLiteral("AffairName"), QStringLiteral("店长"));
    EXPECT_TRUE(window->saveRow(window->grid()));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Clerk C JOIN Affair A ON C.AffairID = A.AffairID WHERE A.AffairName='店长'")), 1);

    // The number checks of a clerk.
    struct Case {
        const char *id, *name, *message;
    } cases[] = {{" ", "小李", "请输入员工代号。"}, {"009", "", "请输入员工姓名。"}, {"008", "小李", "员工代号不能相同。"}};
    for (const Case &c : cases) {
        window->appendRow(window->grid());
        window->staff()->setValue(QStringLiteral("ClerkID"), QString::fromUtf8(c.id));
        window->staff()->setValue(QStringLiteral("ClerkName"), QString::fromUtf8(c.name));
        EXPECT_FALSE(window->saveRow(window->grid()));
        EXPECT_EQ(last(), QString::fromUtf8(c.message));
        window->staff()->cancel();
    }
}

TEST_P(ManpowerTest, SearchConditionsAndUnknownNames)
{
    department(QStringLiteral("001"), QStringLiteral("门市部"), QString());
    department(QStringLiteral("002"), QStringLiteral("维修部"), QString());
    const int seller = duty(QStringLiteral("营业员"));
    clerk(QStringLiteral("A1"), QStringLiteral("王一"), QStringLiteral("001"), seller);
    clerk(QStringLiteral("A2"), QStringLiteral("王二"), QStringLiteral("002"), seller);
    clerk(QStringLiteral("B%"), QStringLiteral("李三"), QStringLiteral("002"));
    open();
    SearchBar *s = window->search();
    struct Case {
        const char *id, *name, *sex, *depart, *duty;
        int found;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, nullptr, 3}, // everyone, a clerk without a duty too
        {nullptr, "王", nullptr, "维修部", nullptr, 1},
        {nullptr, nullptr, nullptr, "没有的部门", nullptr, 3}, // an unknown department adds nothing
        {nullptr, nullptr, nullptr, nullptr, "营业员", 2},
        {"%", nullptr, "男", nullptr, nullptr, 1},
        {nullptr, nullptr, "女", nullptr, nullptr, 0},
    };
    for (const Case &c : cases) {
        const char *values[] = {c.id, c.name, c.sex, c.depart, c.duty};
        for (int i = 0; i < 5; ++i) {
            s->check(i)->setChecked(values[i] != nullptr);
            if (!values[i])
                continue;
            if (s->edit(i))
                s->edit(i)->setText(QString::fromUtf8(values[i]));
            else
                s->combo(i)->setCurrentText(QString::fromUtf8(values[i]));
        }
        app->dialogs.asked.clear();
        window->find();
        EXPECT_EQ(window->staff()->recordCount(), c.found);
        EXPECT_EQ(last(), c.found ? QString() : QStringLiteral("没有符合条件的记录。"));
    }
    EXPECT_EQ(s->combo(3)->count(), 2);

    const QString text = printed([this] { window->PrintButton->click(); });
    EXPECT_TRUE(text.contains(QStringLiteral("员工代号")));
    window->ExportButton->click();
    EXPECT_EQ(app->dialogs.openedUrls.size(), 1);
}

TEST_P(ManpowerTest, QueryRightsOnlyDisableEditing)
{
    department(QStringLiteral("001"), QStringLiteral("门市部"), QString());
    clerk(QStringLiteral("A1"), QStringLiteral("王一"), QStringLiteral("001"));
    open(false);
    expectEditingDisabled(window.get(), {QStringLiteral("EditButton"), QStringLiteral("DeleteButton"), QStringLiteral("AddButton")});
    select(QStringLiteral("门市部"));
    window->tree()->deleteNode();
    EXPECT_EQ(last(), QStringLiteral("对不起，你只有查询权。"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CompanyConstruction")), 1);
}

class DutyTest : public WindowTest<TFSetup_duty> {};

TEST_P(DutyTest, ClosingWithAChangedRowAsksAndOkKeepsIt)
{
    db().exec(QStringLiteral("INSERT INTO Affair(AffairName) VALUES('店长')"));
    open();
    window->duties()->setValue(QStringLiteral("AffairName"), QStringLiteral("经理"));
    app->dialogs.answer(Answer::Ok);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(last(), QStringLiteral("记录已经被修改，是否确定保存？"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Affair WHERE AffairName='经理'")), 1);

    open();
    window->AddButton->click();
    window->duties()->setValue(QStringLiteral("AffairName"), QStringLiteral("临时工"));
    app->dialogs.answer(Answer::Cancel);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Affair")), 1);

    // Nothing changed: no question.
    open();
    app->dialogs.asked.clear();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(app->dialogs.asked.isEmpty());
}

TEST_P(DutyTest, SaveAddDeleteAndQueryRights)
{
    open();
    focusOn(window->grid()->view());
    QTest::keyClick(window->grid()->view(), Qt::Key_N, Qt::ControlModifier);
    window->duties()->setValue(QStringLiteral("AffairName"), QStringLiteral("店长"));
    QTest::keyClick(window->grid()->view(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Affair WHERE AffairName='店长'")), 1);

    const int id = window->duties()->integer(QStringLiteral("AffairID"));
    db().exec(QStringLiteral("INSERT INTO CompanyConstruction(DepartID, DepartName, UpDepartID) VALUES('001','门市','')"));
    db().exec(QStringLiteral("INSERT INTO Clerk(ClerkID, ClerkName, DepartID, AffairID) VALUES('1','甲','001',:a)"), {{QStringLiteral("a"), id}});
    app->dialogs.answer(Answer::Ok);
    window->DeleteButton->click();
    EXPECT_EQ(last(), QStringLiteral("网络故障或者该信息正被其它表单使用，不能删除。"));
    EXPECT_EQ(window->duties()->recordCount(), 1);

    window->setFullRights(false);
    expectEditingDisabled(window.get(), {QStringLiteral("DeleteButton"), QStringLiteral("AddButton"), QStringLiteral("SaveButton")});
    QTest::keyClick(window->grid()->view(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_FALSE(window->duties()->isEditing());
}

VELMORA_ON_BOTH_ENGINES(ManpowerTest);
VELMORA_ON_BOTH_ENGINES(DutyTest);
