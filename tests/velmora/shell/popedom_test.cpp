#include "dataset.h"
#include "dataset_model.h"
#include "dbgrid.h"
#include "popedom.h"
#include "purview.h"
#include "testapp.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

class PopedomTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        app = std::make_unique<TestApp>(GetParam());
        window = std::make_unique<TFSystem_popedom>(app->ctx);
        window->setFullRights(true);
        window->show();
    }
    int count(const QString &sql) { return app->db().scalar(sql).toInt(); }
    void addSet(const QString &name)
    {
        window->addSet();
        window->sets()->setValue(QStringLiteral("purview_name"), name);
        window->saveSet();
    }
    std::unique_ptr<TestApp> app;
    std::unique_ptr<TFSystem_popedom> window;
};

TEST_P(PopedomTest, ANewSetGetsEveryRightSwitchedOff)
{
    addSet(QStringLiteral("店员"));
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("权限名称保存成功。"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM purview WHERE purview_name='店员'")),
              count(QStringLiteral("SELECT count(*) FROM p_module")));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM purview WHERE p_query=1 OR p_all=1")), 0);
    EXPECT_GT(window->rights(1)->recordCount(), 0);
    EXPECT_EQ(window->sets()->recordCount(), 1); // 超级用户 is never listed
}

TEST_P(PopedomTest, ADuplicateNameIsRefusedAndCreatesNothing)
{
    addSet(QStringLiteral("店员"));
    const int rights = count(QStringLiteral("SELECT count(*) FROM purview"));
    for (const char *name : {"店员", "超级用户"}) {
        window->addSet();
        window->sets()->setValue(QStringLiteral("purview_name"), QString::fromUtf8(name));
        window->saveSet();
        EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("权限名称不能相同。"));
        EXPECT_EQ(window->sets()->state(), DataSet::State::Insert); // kept for correction
        window->sets()->cancel();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM purview")), rights);
    // A blank name just cancels.
    window->addSet();
    window->saveSet();
    EXPECT_EQ(window->sets()->recordCount(), 1);
}

TEST_P(PopedomTest, GroupRightsAndTheQueryFullExclusivity)
{
    addSet(QStringLiteral("店员"));
    app->loginAs(QStringLiteral("店员"));
    window->allRadio[1]->click(); // 物流: 所有全权
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("进货单")), 2);
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("号码入库单")), 2);
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("收款单")), 0);
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("商品资料")), 0);

    DataSet *logistics = window->rights(1);
    ASSERT_TRUE(logistics->locate(QStringLiteral("p_module"), QStringLiteral("销售单")));
    DataSetModel *model = window->rightsGrid(1)->model();
    const int queryColumn = model->columnOfField(QStringLiteral("p_query"));
    ASSERT_GE(queryColumn, 0);
    EXPECT_TRUE(model->setData(model->index(logistics->recNo(), queryColumn), Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(logistics->boolean(QStringLiteral("p_all")));
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("销售单")), 1); // stored at once

    window->noneRadio[1]->click();
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("销售单")), 0);
}

TEST_P(PopedomTest, RenamingKeepsUsersAndRightsAttached)
{
    addSet(QStringLiteral("店员"));
    window->allRadio[0]->click();
    app->db().exec(QStringLiteral("INSERT INTO user_info(user_number, user_name, purview_name) VALUES('9','小王','店员')"));
    window->sets()->setValue(QStringLiteral("purview_name"), QStringLiteral("营业员"));
    window->saveSet();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM purview WHERE purview_name='营业员' AND p_all=1")),
              count(QStringLiteral("SELECT count(*) FROM p_module WHERE p_class='设置'")));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM purview WHERE purview_name='店员'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM user_info WHERE purview_name='营业员'")), 1);
}

TEST_P(PopedomTest, DeletingASetDeletesItsUsers)
{
    addSet(QStringLiteral("店员"));
    app->db().exec(QStringLiteral("INSERT INTO user_info(user_number, user_name, purview_name) VALUES('9','小王','店员')"));
    app->dialogs.answer(Answer::Cancel);
    window->deleteSet();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM purename WHERE purview_name='店员'")), 1);
    app->dialogs.answer(Answer::Ok);
    window->deleteSet();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM purename WHERE purview_name='店员'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM purview WHERE purview_name='店员'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM user_info WHERE purview_name='店员'")), 0);
    window->deleteSet();
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("没有记录可以删除。"));
}

TEST_P(PopedomTest, UsersNeedANameAndAFreeNumber)
{
    addSet(QStringLiteral("店员"));
    window->addUser();
    window->users()->setValue(QStringLiteral("user_number"), QStringLiteral("001")); // the first user's number
    window->saveUser();
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("用户名称不能为空。"));
    window->users()->setValue(QStringLiteral("user_name"), QStringLiteral("小李"));
    window->saveUser();
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("用户编号不能相同。"));
    window->users()->setValue(QStringLiteral("user_number"), QStringLiteral("002"));
    window->users()->setValue(QStringLiteral("purview_name"), QStringLiteral("店员"));
    window->saveUser();
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("保存成功。"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM user_info WHERE user_number='002' AND user_name='小李'")), 1);
    EXPECT_EQ(window->userGrid()->pickList(QStringLiteral("purview_name")), QStringList{QStringLiteral("店员")});

    // Both blank: the new row is dropped, and saving still says so.
    window->addUser();
    window->saveUser();
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("保存成功。"));
    EXPECT_EQ(window->users()->recordCount(), 1);
}

TEST_P(PopedomTest, QueryOnlyDisablesEditing)
{
    window->setFullRights(false);
    for (QPushButton *b : {window->SaveButton, window->AddButton, window->DeleteButton, window->AddUserButton,
                           window->DeleteUserButton, window->SaveUserButton})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(window->tabs()->widget(0)->isEnabled());
    EXPECT_TRUE(window->setGrid()->isReadOnly());
    EXPECT_TRUE(window->userGrid()->isReadOnly());
}

VELMORA_ON_BOTH_ENGINES(PopedomTest);
