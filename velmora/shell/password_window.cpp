#include "password_window.h"

#include "app_context.h"
#include "dialogs.h"
#include "helpers.h"
#include "keys.h"
#include "tfdata.h"

#include "widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
QLineEdit *edit(QWidget *parent, const QString &name, bool masked)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    if (masked)
        e->setEchoMode(QLineEdit::Password);
    return e;
}
} // namespace

TFSystem_password::TFSystem_password(AppContext &app, QWidget *parent) : QDialog(parent), app_(app)
{
    setObjectName(QStringLiteral("TFSystem_password"));
    setWindowTitle(QStringLiteral("修改密码"));
    PageControl1 = new QTabWidget(this);

    auto *userPage = new QWidget(PageControl1);
    ComboBox2 = new QComboBox(userPage);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    UserOld = edit(userPage, QStringLiteral("UserOld"), false); // shown in clear
    UserNew = edit(userPage, QStringLiteral("UserNew"), true);
    UserConfirm = edit(userPage, QStringLiteral("UserConfirm"), true);
    UserOk = makeButton(userPage, QStringLiteral("UserOk"), QStringLiteral("确定"));
    UserCancel = makeButton(userPage, QStringLiteral("UserCancel"), QStringLiteral("取消"));
    auto *uf = new QFormLayout(userPage);
    uf->addRow(QStringLiteral("用户名称："), ComboBox2);
    uf->addRow(QStringLiteral("旧密码："), UserOld);
    uf->addRow(QStringLiteral("新密码："), UserNew);
    uf->addRow(QStringLiteral("新密码确认："), UserConfirm);
    auto *ur = new QHBoxLayout;
    ur->addStretch();
    ur->addWidget(UserOk);
    ur->addWidget(UserCancel);
    uf->addRow(ur);
    PageControl1->addTab(userPage, QStringLiteral("用户密码"));

    auto *clerkPage = new QWidget(PageControl1);
    ComboBox1 = new QComboBox(clerkPage);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ClerkOld = edit(clerkPage, QStringLiteral("ClerkOld"), false);
    ClerkNew = edit(clerkPage, QStringLiteral("ClerkNew"), true);
    ClerkConfirm = edit(clerkPage, QStringLiteral("ClerkConfirm"), true);
    ClerkOk = makeButton(clerkPage, QStringLiteral("ClerkOk"), QStringLiteral("确定"));
    ClerkCancel = makeButton(clerkPage, QStringLiteral("ClerkCancel"), QStringLiteral("取消"));
    auto *cf = new QFormLayout(clerkPage);
    cf->addRow(QStringLiteral("经手人："), ComboBox1);
    cf->addRow(QStringLiteral("旧密码："), ClerkOld);
    cf->addRow(QStringLiteral("新密码："), ClerkNew);
    cf->addRow(QStringLiteral("新密码确认："), ClerkConfirm);
    auto *cr = new QHBoxLayout;
    cr->addStretch();
    cr->addWidget(ClerkOk);
    cr->addWidget(ClerkCancel);
    cf->addRow(cr);
    PageControl1->addTab(clerkPage, QStringLiteral("经手人密码"));

    auto *l = new QVBoxLayout(this);
    l->addWidget(PageControl1);

    const RowSet users = app_.data.ADOConnection1.query(QStringLiteral("Select user_name From User_info ORDER BY user_number"));
    for (int i = 0; i < users.size(); ++i)
        ComboBox2->addItem(users.value(i, 0).toString());
    FillClerkCombo(app_.data, ComboBox1, app_.vars.CurClerkID);

    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) {
        if (!old)
            return;
        if (old == ComboBox2 || old == ComboBox2->lineEdit()) {
            const RowSet rs = app_.data.ADOConnection1.query(QStringLiteral("Select user_name From User_info Where user_number=:n"),
                                                             {{QStringLiteral("n"), ComboBox2->currentText()}});
            if (!rs.isEmpty())
                ComboBox2->setEditText(rs.value(0, 0).toString());
        } else if (old == ComboBox1 || old == ComboBox1->lineEdit()) {
            QString name;
            FindClerk(app_.data, ComboBox1->currentText(), app_.vars.CurClerkID, name);
        }
    });
    connect(ComboBox1, &QComboBox::activated, this, [this] {
        QString name;
        FindClerk(app_.data, ComboBox1->currentText(), app_.vars.CurClerkID, name);
    });
    connect(UserOk, &QPushButton::clicked, this, &TFSystem_password::changeUserPassword);
    connect(ClerkOk, &QPushButton::clicked, this, &TFSystem_password::changeClerkPassword);
    connect(UserCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ClerkCancel, &QPushButton::clicked, this, &QDialog::reject);
    FormKeys::install(this, FormKeys::Defaults | FormKeys::ArrowsMove);
}

// Focus moves while the window's children are destroyed: stop listening first.
TFSystem_password::~TFSystem_password() { disconnect(focusWatch_); }

void TFSystem_password::changeUserPassword()
{
    Database &db = app_.data.ADOConnection1;
    const QString name = ComboBox2->currentText();
    const RowSet rs = db.query(QStringLiteral("Select user_pass From User_info Where user_name=:n"), {{QStringLiteral("n"), name}});
    if (rs.isEmpty())
        return;
    auto tell = [this](const QString &t) {
        app_.dialogs.message(this, t, DialogService::caption(), MsgIcon::Information, MsgButtons::OkCancel);
    };
    if (rs.value(0, 0).toString() != UserOld->text())
        return tell(QStringLiteral("用户密码不正确。"));
    if (UserNew->text() != UserConfirm->text())
        return tell(QStringLiteral("两次输入的密码不一致。"));
    db.exec(QStringLiteral("Update User_info Set user_pass=:p Where user_name=:n"),
            {{QStringLiteral("p"), UserNew->text()}, {QStringLiteral("n"), name}});
    tell(QStringLiteral("用户密码更改成功。"));
    accept();
}

void TFSystem_password::changeClerkPassword()
{
    Database &db = app_.data.ADOConnection1;
    const QString id = app_.vars.CurClerkID;
    const RowSet rs = db.query(QStringLiteral("Select Pass From Clerk Where ClerkID=:id"), {{QStringLiteral("id"), id}});
    if (rs.isEmpty())
        return;
    auto tell = [this](const QString &t) {
        app_.dialogs.message(this, t, DialogService::caption(), MsgIcon::Information, MsgButtons::OkCancel);
    };
    if (rs.value(0, 0).toString() != ClerkOld->text())
        return tell(QStringLiteral("经手人密码不正确。"));
    if (ClerkNew->text() != ClerkConfirm->text())
        return tell(QStringLiteral("两次输入的密码不一致。"));
    db.exec(QStringLiteral("Update Clerk Set Pass=:p Where ClerkID=:id"), {{QStringLiteral("p"), ClerkNew->text()}, {QStringLiteral("id"), id}});
    tell(QStringLiteral("经手人密码更改成功。"));
}
