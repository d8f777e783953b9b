#include "password_window.h"
#include "testapp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class PasswordWindowTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        app = std::make_unique<TestApp>(GetParam());
        app->db().exec(QStringLiteral("INSERT INTO CompanyConstruction(DepartID, DepartName) VALUES('001','门市部')"));
        app->db().exec(QStringLiteral("INSERT INTO Clerk(ClerkID, ClerkName, Pass, DepartID) VALUES('E1','张三','old','001')"));
    }
    QString stored(const QString &sql) { return app->db().scalar(sql).toString(); }
    std::unique_ptr<TestApp> app;
};

TEST_P(PasswordWindowTest, AUserChangesTheLoginPassword)
{
    struct Case {
        const char *old, *fresh, *again, *message;
    } cases[] = {
        {"wrong", "n1", "n1", "用户密码不正确。"},
        {"123", "n1", "n2", "两次输入的密码不一致。"},
        {"123", "n1", "n1", "用户密码更改成功。"},
    };
    for (const Case &c : cases) {
        TFSystem_password w(app->ctx);
        w.show();
        w.ComboBox2->setEditText(QStringLiteral("001")); // a number turns into the name on leaving
        focusOn(w.ComboBox2);
        focusOn(w.UserOld);
        EXPECT_EQ(w.ComboBox2->currentText(), QStringLiteral("系统管理员"));
        w.UserOld->setText(QString::fromLatin1(c.old));
        w.UserNew->setText(QString::fromLatin1(c.fresh));
        w.UserConfirm->setText(QString::fromLatin1(c.again));
        app->dialogs.answer(Answer::Ok);
        QTest::mouseClick(w.UserOk, Qt::LeftButton);
        EXPECT_EQ(app->dialogs.lastText().toStdString(), c.message);
    }
    EXPECT_EQ(stored(QStringLiteral("SELECT user_pass FROM user_info WHERE user_number='001'")), QStringLiteral("n1"));
}

TEST_P(PasswordWindowTest, AClerkChangesTheBillPassword)
{
    TFSystem_password w(app->ctx);
    w.show();
    w.PageControl1->setCurrentIndex(1);
    EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("张三"));
    EXPECT_EQ(app->ctx.vars.CurClerkID, QStringLiteral("E1"));
    w.ClerkOld->setText(QStringLiteral("OLD"));
    app->dialogs.answer(Answer::Ok);
    QTest::mouseClick(w.ClerkOk, Qt::LeftButton);
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("经手人密码不正确。"));
    w.ClerkOld->setText(QStringLiteral("old"));
    w.ClerkNew->setText(QStringLiteral("p2"));
    w.ClerkConfirm->setText(QStringLiteral("p2"));
    app->dialogs.answer(Answer::Ok);
    QTest::mouseClick(w.ClerkOk, Qt::LeftButton);
    EXPECT_EQ(app->dialogs.lastText(), QStringLiteral("经手人密码更改成功。"));
    EXPECT_EQ(stored(QStringLiteral("SELECT Pass FROM Clerk WHERE ClerkID='E1'")), QStringLiteral("p2"));
}

VELMORA_ON_BOTH_ENGINES(PasswordWindowTest);
