#include "login.h"
#include "mainwindow.h"
#include "startup.h"
#include "testapp.h"
#include "window_catalog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class LoginTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        app = std::make_unique<TestApp>(GetParam());
        app->db().exec(QStringLiteral("INSERT INTO purename(purview_name) VALUES('店员')"));
        app->db().exec(QStringLiteral("INSERT INTO user_info(user_number, user_name, purview_name, user_pass) VALUES"
                                      "('007','李四','店员','Abc'),('李四号','王五','店员','')"));
    }
    std::unique_ptr<TestApp> app;
};

TEST_P(LoginTest, TheServerDialogRemembersWhatItWasToldTo)
{
    RegSetting &s = app->settings;
    s.write(QStringLiteral("AutoUser"), QStringLiteral("0"));
    s.write(QStringLiteral("AutoUserName"), QStringLiteral("sa"));
    s.write(QStringLiteral("AutoUserPass"), QStringLiteral("secret"));
    {
        TFLogin_server dlg(s, app->dialogs, app->dir.path());
        dlg.show();
        EXPECT_TRUE(dlg.EditUser->text().isEmpty()); // stored, but not to be filled in
        EXPECT_TRUE(dlg.EditPass->text().isEmpty());
        dlg.ServerIP->setText(QStringLiteral("db:5433"));
        dlg.EditUser->setText(QStringLiteral("u"));
        dlg.EditPass->setText(QStringLiteral("p;w=1"));
        focusOn(dlg.EditPass);
        QTest::keyClick(dlg.EditPass, Qt::Key_Return); // Enter in the password presses 确定
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.connectionString(), QStringLiteral("Provider=SQLOLEDB.1;Password=p;w=1;Persist Security Info=False;"
                                                         "User ID=u;Initial Catalog=handset;Data Source=db:5433"));
    }
    EXPECT_EQ(s.read(QStringLiteral("ServerAddress")), QStringLiteral("db:5433"));
    EXPECT_EQ(s.read(QStringLiteral("ServerRadio")), QStringLiteral("1"));
    EXPECT_EQ(s.read(QStringLiteral("AutoUserName")), QStringLiteral("u")); // written though not ticked
    EXPECT_EQ(s.read(QStringLiteral("AutoUser")), QStringLiteral("0"));

    s.write(QStringLiteral("AutoUser"), QStringLiteral("1"));
    TFLogin_server again(s, app->dialogs, app->dir.path());
    again.show();
    EXPECT_EQ(again.EditUser->text(), QStringLiteral("u"));
    EXPECT_EQ(again.EditPass->text(), QStringLiteral("p;w=1"));
    EXPECT_TRUE(again.CheckBox2->isChecked());
    QTest::mouseClick(again.Button3, Qt::LeftButton);
    ASSERT_EQ(app->dialogs.openedUrls.size(), 1);
    EXPECT_TRUE(app->dialogs.openedUrls[0].endsWith(QLatin1String("help/index.html")));
}

TEST_P(LoginTest, UserLoginChecksNameAndPasswordExactly)
{
    TFSystem_enter dlg(app->ctx);
    dlg.show();
    EXPECT_EQ(dlg.ComboBox1->count(), 3);
    EXPECT_EQ(dlg.DateTimePicker1->date(), app->clock.current.date());

    dlg.ComboBox1->setEditText(QStringLiteral("nobody"));
    QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("该用户不存在。"));
    EXPECT_TRUE(dlg.isVisible());

    dlg.ComboBox1->setEditText(QStringLiteral("李四"));
    dlg.Edit1->setText(QStringLiteral("abc"));
    QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("密码不正确。"));
    EXPECT_TRUE(dlg.isVisible());

    dlg.Edit1->setText(QStringLiteral("Abc"));
    QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(app->settings.read(QStringLiteral("DL_User")), QStringLiteral("李四"));
    EXPECT_EQ(app->settings.read(QStringLiteral("SystemName")), QStringLiteral("店员"));
    EXPECT_EQ(app->ctx.session.purviewName, QStringLiteral("店员"));
    EXPECT_TRUE(app->clock.setTo.isEmpty()); // today's date: the clock is left alone
}

TEST_P(LoginTest, AUserNumberTurnsIntoTheName)
{
    TFSystem_enter dlg(app->ctx);
    dlg.show();
    dlg.ComboBox1->setEditText(QStringLiteral("007"));
    dlg.resolveUserNumber();
    EXPECT_EQ(dlg.ComboBox1->currentText(), QStringLiteral("李四"));
    dlg.ComboBox1->setEditText(QStringLiteral("王五")); // a name that is nobody's number stays
    dlg.resolveUserNumber();
    EXPECT_EQ(dlg.ComboBox1->currentText(), QStringLiteral("王五"));
}

TEST_P(LoginTest, AnotherDateMovesTheClockKeepingTheTimeOfDay)
{
    for (bool refuse : {false, true}) {
        app->clock.refuse = refuse;
        app->clock.setTo.clear();
        TFSystem_enter dlg(app->ctx);
        dlg.show();
        const QTime time = app->clock.current.time();
        const QDate other = app->clock.current.date().addDays(-3);
        dlg.DateTimePicker1->setDate(other);
        dlg.ComboBox1->setEditText(QStringLiteral("王五"));
        QTest::mouseClick(dlg.Button1, Qt::LeftButton);
        EXPECT_EQ(dlg.result(), QDialog::Accepted) << refuse; // a refused change is ignored
        ASSERT_EQ(app->clock.setTo.size(), 1);
        EXPECT_EQ(app->clock.setTo[0], QDateTime(other, time));
    }
}

TEST_P(LoginTest, StartUpEndsQuietlyOnCancelAndLoudlyOnFailure)
{
    WindowCatalog catalog;
    StartupOptions fast{0};
    app->dialogs.onDialog([](QDialog *) { return int(QDialog::Rejected); }); // server dialog
    EXPECT_EQ(RunStartup(app->ctx, catalog, fast), nullptr);
    EXPECT_TRUE(app->dialogs.asked.isEmpty());

    app->data.ADOConnection1.close();
    app->dialogs.onDialog([](QDialog *d) {
        auto *s = static_cast<TFLogin_server *>(d);
        s->ServerIP->setText(QStringLiteral("127.0.0.1:1"));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(RunStartup(app->ctx, catalog, fast), nullptr);
    ASSERT_EQ(app->dialogs.asked.size(), 1);
    EXPECT_TRUE(app->dialogs.lastText().startsWith(
        QStringLiteral("不能打开数据库，请确认网络联接是否正常、或服务器名、用户名、密码是否正确。\r\n\r\n错误信息：")));
    EXPECT_GT(app->dialogs.lastText().size(), 60); // the error's own text follows
    EXPECT_EQ(app->dialogs.asked[0].caption, QStringLiteral("提示："));
    EXPECT_EQ(app->dialogs.asked[0].icon, MsgIcon::Error);
}

TEST_P(LoginTest, StartUpOnTheEmbeddedDatabaseReachesTheMainWindow)
{
    if (GetParam() != Engine::SQLite)
        GTEST_SKIP() << "the embedded start-up needs no server";
    WindowCatalog catalog;
    const QString file = app->dir.filePath(QStringLiteral("fresh.db"));
    app->data.ADOConnection1.close();
    app->dialogs.onDialog([file](QDialog *d) {
        static_cast<TFLogin_server *>(d)->ServerIP->setText(file);
        return int(QDialog::Accepted);
    });
    app->dialogs.onDialog([](QDialog *d) {
        auto *e = static_cast<TFSystem_enter *>(d);
        EXPECT_EQ(e->ComboBox1->count(), 1); // a new database holds the first user
        e->ComboBox1->setEditText(QStringLiteral("001"));
        e->resolveUserNumber();
        e->Edit1->setText(QStringLiteral("123"));
        QTest::mouseClick(e->Button1, Qt::LeftButton);
        return -1;
    });
    std::unique_ptr<TFmain> main = RunStartup(app->ctx, catalog, StartupOptions{0});
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(app->settings.read(QStringLiteral("SystemName")), QStringLiteral("超级用户"));
    EXPECT_EQ(app->settings.read(QStringLiteral("DL_User")), QStringLiteral("系统管理员"));
}

VELMORA_ON_BOTH_ENGINES(LoginTest);
