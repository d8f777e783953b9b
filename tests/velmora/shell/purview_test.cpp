#include "purview.h"
#include "testapp.h"

class PurviewTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        app = std::make_unique<TestApp>(GetParam());
        app->db().exec(QStringLiteral("INSERT INTO purename(purview_name) VALUES('店员')"));
        app->db().exec(QStringLiteral("Insert into purview(p_module,p_class,purview_name,p_query,p_all) "
                                      "select module_name,p_class,'店员',0,0 From p_module"));
    }
    void set(const char *module, bool query, bool all)
    {
        app->db().exec(QStringLiteral("update purview set p_query=:q, p_all=:a where purview_name='店员' and p_module=:m"),
                       {{QStringLiteral("q"), query}, {QStringLiteral("a"), all}, {QStringLiteral("m"), QString::fromUtf8(module)}});
    }
    std::unique_ptr<TestApp> app;
};

TEST_P(PurviewTest, LevelsFollowTheRightsRow)
{
    app->loginAs(QStringLiteral("店员"));
    set("进货单", true, false);
    set("销售单", false, true);
    set("调拨单", true, true);
    struct Case {
        const char *module;
        int level;
    } cases[] = {{"进货单", 1}, {"销售单", 2}, {"调拨单", 1}, {"报损单", 0}, {"没有的功能", 0}};
    for (const Case &c : cases) {
        app->dialogs.asked.clear();
        EXPECT_EQ(CheckPurview(app->ctx, nullptr, QString::fromUtf8(c.module)), c.level) << c.module;
        EXPECT_EQ(app->dialogs.asked.size(), c.level == 0 ? 1 : 0) << c.module;
    }
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("对不起，你无权使用该功能。"));
    EXPECT_EQ(app->dialogs.asked.last().icon, MsgIcon::Warning);
}

TEST_P(PurviewTest, TheSuperUserHasEverythingWithoutRows)
{
    app->loginAs(QStringLiteral("超级用户"));
    EXPECT_EQ(app->db().scalar(QStringLiteral("SELECT count(*) FROM purview WHERE purview_name='超级用户'")).toInt(), 0);
    EXPECT_EQ(CheckPurview(app->ctx, nullptr, QStringLiteral("工资表")), 2);
    EXPECT_EQ(CheckPurview(app->ctx, nullptr, QStringLiteral("anything")), 2);
}

TEST_P(PurviewTest, EditingTheStoredSetByHandGrantsNothing)
{
    app->loginAs(QStringLiteral("店员"));
    app->settings.write(QStringLiteral("SystemName"), QStringLiteral("超级用户"));
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("进货单")), 0);
}

TEST_P(PurviewTest, TheCheckReadsTheSetAfresh)
{
    app->loginAs(QStringLiteral("店员"));
    set("进货单", false, true);
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("进货单")), 2);
    set("进货单", false, false);
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("进货单")), 0);
    app->loginAs(QStringLiteral("nobody's set"));
    EXPECT_EQ(PurviewLevel(app->ctx, QStringLiteral("进货单")), 0);
}

VELMORA_ON_BOTH_ENGINES(PurviewTest);
