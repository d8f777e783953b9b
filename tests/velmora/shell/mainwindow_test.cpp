#include "function_window.h"
#include "login.h"
#include "mainwindow.h"
#include "small_dialogs.h"
#include "testapp.h"
#include "window_catalog.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

namespace {
QStringList opened;
QList<bool> rights;

class FakeWindow : public QWidget, public FunctionWindow {
public:
    explicit FakeWindow(const QString &name) { setObjectName(name); opened << name; }
    void setFullRights(bool full) override { rights << full; }
};
} // namespace

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        opened.clear();
        rights.clear();
        app = std::make_unique<TestApp>(Engine::SQLite);
        Database &db = app->db();
        db.exec(QStringLiteral("INSERT INTO purename(purview_name) VALUES('店员')"));
        db.exec(QStringLiteral("Insert into purview(p_module,p_class,purview_name,p_query,p_all) "
                               "select module_name,p_class,'店员',0,0 From p_module"));
        for (const char *w : {"查找中心", "库存状况"})
            catalog.addWindow(QString::fromUtf8(w), [w](AppContext &, QWidget *) -> QWidget * { return new FakeWindow(QString::fromUtf8(w)); });
        catalog.addBill(QStringLiteral("进货单"), [](AppContext &, QWidget *p) {
            auto *d = new QDialog(p);
            d->setObjectName(QStringLiteral("TFGoods_stock_form"));
            return d;
        });
        app->loginAs(QStringLiteral("店员"));
        main = std::make_unique<TFmain>(app->ctx, catalog);
        main->show();
    }
    void grant(const char *module, bool query, bool all)
    {
        app->db().exec(QStringLiteral("update purview set p_query=:q, p_all=:a where purview_name='店员' and p_module=:m"),
                       {{QStringLiteral("q"), query}, {QStringLiteral("a"), all}, {QStringLiteral("m"), QString::fromUtf8(module)}});
    }
    void TearDown() override
    {
        app->dialogs.onDialog([](QDialog *) { return int(QDialog::Accepted); }); // the exit question
        main->close();
        main.reset();
    }
    std::unique_ptr<TestApp> app;
    WindowCatalog catalog;
    std::unique_ptr<TFmain> main;
};

TEST_F(MainWindowTest, CommandsWithoutTheirWindowAreDisabled)
{
    EXPECT_TRUE(main->command(QStringLiteral("进货单"))->isEnabled());
    EXPECT_FALSE(main->command(QStringLiteral("销售单"))->isEnabled());
    EXPECT_FALSE(main->command(QStringLiteral("颜色/配置"))->isEnabled());
    EXPECT_TRUE(main->command(QStringLiteral("修改密码"))->isEnabled());
    EXPECT_TRUE(main->command(QStringLiteral("关于"))->isEnabled());
    main->run(QStringLiteral("销售单"));
    EXPECT_TRUE(app->dialogs.asked.isEmpty());
}

TEST_F(MainWindowTest, ABillOpensOnlyWithFullRights)
{
    grant("进货单", true, false);
    main->run(QStringLiteral("进货单")); // query only: nothing, silently
    EXPECT_TRUE(app->dialogs.dialogsShown.isEmpty());
    EXPECT_TRUE(app->dialogs.asked.isEmpty());

    grant("进货单", false, false);
    main->run(QStringLiteral("进货单"));
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("对不起，你无权使用该功能。"));
    EXPECT_TRUE(app->dialogs.dialogsShown.isEmpty());

    grant("进货单", false, true);
    app->dialogs.onDialog([](QDialog *) { return int(QDialog::Rejected); });
    main->run(QStringLiteral("进货单"));
    EXPECT_EQ(app->dialogs.dialogsShown, QStringList{QStringLiteral("TFGoods_stock_form")});
}

TEST_F(MainWindowTest, AFunctionWindowClosesTheOthersAndGetsItsRights)
{
    grant("查找中心", false, true);
    grant("库存状况", true, false);
    main->run(QStringLiteral("查找中心"));
    ASSERT_EQ(main->mdiArea()->subWindowList().size(), 1);
    main->run(QStringLiteral("库存状况"));
    QApplication::processEvents();
    const auto subs = main->mdiArea()->subWindowList();
    ASSERT_EQ(subs.size(), 1);
    EXPECT_EQ(subs[0]->widget()->objectName(), QStringLiteral("库存状况"));
    EXPECT_TRUE(subs[0]->isMaximized());
    EXPECT_EQ(rights, (QList<bool>{true, false}));

    main->run(QStringLiteral("查找中心"));
    QApplication::processEvents();
    ASSERT_EQ(main->mdiArea()->subWindowList().size(), 1);
    grant("查找中心", false, false);
    main->run(QStringLiteral("库存状况"));
    main->run(QStringLiteral("查找中心")); // refused: the open window stays
    QApplication::processEvents();
    EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1);
}

TEST_F(MainWindowTest, ExitAsksAndCancelKeepsAnEmptyMainWindow)
{
    grant("查找中心", false, true);
    main->run(QStringLiteral("查找中心"));
    app->dialogs.onDialog([](QDialog *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("退出系统"));
        return int(QDialog::Rejected);
    });
    main->run(QStringLiteral("退出系统"));
    QApplication::processEvents();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->mdiArea()->subWindowList().isEmpty());
}

TEST_F(MainWindowTest, ReloginCancelKeepsTheUser)
{
    app->dialogs.onDialog([](QDialog *) { return int(QDialog::Rejected); });
    main->run(QStringLiteral("重新登录"));
    EXPECT_EQ(app->settings.read(QStringLiteral("SystemName")), QStringLiteral("店员"));
    app->dialogs.onDialog([](QDialog *d) {
        auto *e = static_cast<TFSystem_enter *>(d);
        e->ComboBox1->setEditText(QStringLiteral("系统管理员"));
        e->Edit1->setText(QStringLiteral("123"));
        QTest::mouseClick(e->Button1, Qt::LeftButton);
        return -1;
    });
    main->run(QStringLiteral("重新登录"));
    EXPECT_EQ(app->settings.read(QStringLiteral("SystemName")), QStringLiteral("超级用户"));
    EXPECT_EQ(app->ctx.session.purviewName, QStringLiteral("超级用户"));
}

TEST_F(MainWindowTest, PanelsRememberTheirStateAndShareOneGeometrySlot)
{
    RegSetting &s = app->settings;
    s.write(QStringLiteral("GoodsBotton"), QStringLiteral("1"));
    main->restorePanels();
    ASSERT_NE(main->panel(QStringLiteral("GoodsBotton")), nullptr);
    EXPECT_TRUE(main->panelToggle(QStringLiteral("GoodsBotton"))->isChecked());
    EXPECT_EQ(main->panel(QStringLiteral("SysBotton")), nullptr); // absent counts as closed

    // The close box keeps "1"; the next toggle writes "0" and shows nothing; the one after shows it.
    main->panel(QStringLiteral("GoodsBotton"))->setGeometry(120, 130, 300, 90);
    const QRect closedAt = main->panel(QStringLiteral("GoodsBotton"))->geometry();
    main->panel(QStringLiteral("GoodsBotton"))->close();
    QApplication::processEvents();
    EXPECT_EQ(main->panel(QStringLiteral("GoodsBotton")), nullptr);
    EXPECT_EQ(s.read(QStringLiteral("GoodsBotton")), QStringLiteral("1"));
    EXPECT_FALSE(main->panelToggle(QStringLiteral("GoodsBotton"))->isChecked());
    main->panelToggle(QStringLiteral("GoodsBotton"))->trigger();
    EXPECT_EQ(s.read(QStringLiteral("GoodsBotton")), QStringLiteral("0"));
    EXPECT_EQ(main->panel(QStringLiteral("GoodsBotton")), nullptr);

    // Another panel opened now takes the size and place of the one closed last.
    main->panelToggle(QStringLiteral("StatBotton"))->trigger();
    EXPECT_EQ(s.read(QStringLiteral("StatBotton")), QStringLiteral("0")); // absent: first click closes
    main->panelToggle(QStringLiteral("StatBotton"))->trigger();
    ASSERT_NE(main->panel(QStringLiteral("StatBotton")), nullptr);
    EXPECT_EQ(s.read(QStringLiteral("StatBotton")), QStringLiteral("1"));
    EXPECT_EQ(main->panel(QStringLiteral("StatBotton"))->size(), closedAt.size());
}

TEST_F(MainWindowTest, ToolHintsShowTheirLongPartInTheStatusBar)
{
    QAction *tool = main->findChild<QAction *>(QStringLiteral("tool:进货单"));
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->toolTip(), QStringLiteral("进货单"));
    tool->hover();
    EXPECT_EQ(main->hintPanel()->text(), QStringLiteral("商品进货入库时填单。"));
}
