#include "login.h"

#include "app_context.h"
#include "connection_string.h"
#include "dialogs.h"
#include "keys.h"
#include "tfdata.h"

#include "widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

void ShowHelp(DialogService &dialogs, const QString &programFolder)
{
    dialogs.openUrl(QDir(programFolder).filePath(QStringLiteral("help/index.html")));
}

// ---- server login -----------------------------------------------------------

TFLogin_server::TFLogin_server(RegSetting &settings, DialogService &dialogs, const QString &programFolder, QWidget *parent)
    : QDialog(parent), settings_(settings)
{
    setObjectName(QStringLiteral("TFLogin_server"));
    setWindowTitle(QStringLiteral("登录"));
    ServerIP = new QLineEdit(this);
    ServerIP->setObjectName(QStringLiteral("ServerIP"));
    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("确定"));
    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("取消"));
    CheckBox2 = new QCheckBox(QStringLiteral("保存用户名和密码"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    EditUser = new QLineEdit(this);
    EditUser->setObjectName(QStringLiteral("EditUser"));
    EditPass = new QLineEdit(this);
    EditPass->setObjectName(QStringLiteral("EditPass"));
    EditPass->setEchoMode(QLineEdit::Password);
    Button3 = makeButton(this, QStringLiteral("Button3"), QStringLiteral("帮助"));
    Button3->setStyleSheet(QStringLiteral("color: blue"));

    auto *l = new QVBoxLayout(this);
    l->addWidget(new QLabel(QStringLiteral("“远程客户端”请输入IP地址、"), this));
    l->addWidget(new QLabel(QStringLiteral("“单机、局域网客户端”请输入服务器名或服务器IP："), this));
    l->addWidget(ServerIP);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("用户名："), EditUser);
    form->addRow(QStringLiteral("密码："), EditPass);
    l->addLayout(form);
    l->addWidget(CheckBox2);
    auto *row = new QHBoxLayout;
    row->addWidget(Button3);
    row->addStretch();
    row->addWidget(Button1);
    row->addWidget(Button2);
    l->addLayout(row);
    setTabOrder(ServerIP, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, CheckBox2);
    setTabOrder(CheckBox2, EditUser);
    setTabOrder(EditUser, EditPass);
    setTabOrder(EditPass, Button3);

    connect(Button1, &QPushButton::clicked, this, &TFLogin_server::confirm);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, [&dialogs, programFolder] { ShowHelp(dialogs, programFolder); });
    auto *keys = FormKeys::install(this, FormKeys::Defaults | FormKeys::ArrowsMove);
    keys->bindEnter(EditPass, [this] { confirm(); });
}

void TFLogin_server::showEvent(QShowEvent *event)
{
    if (settings_.read(QStringLiteral("AutoUser")) == QLatin1String("1")) {
        EditUser->setText(settings_.read(QStringLiteral("AutoUserName")));
        EditPass->setText(settings_.read(QStringLiteral("AutoUserPass")));
        CheckBox2->setChecked(true);
    }
    QDialog::showEvent(event);
}

void TFLogin_server::confirm()
{
    settings_.write(QStringLiteral("ServerAddress"), ServerIP->text());
    settings_.write(QStringLiteral("ServerRadio"), QStringLiteral("1"));
    settings_.write(QStringLiteral("AutoUserName"), EditUser->text());
    settings_.write(QStringLiteral("AutoUserPass"), EditPass->text());
    settings_.write(QStringLiteral("AutoUser"), CheckBox2->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    accept();
}

QString TFLogin_server::connectionString() const
{
    return ConnectionString::fromLogin(ServerIP->text(), EditUser->text(), EditPass->text()).toString();
}

// ---- user login -----------------------------------------------------------------

TFSystem_enter::TFSystem_enter(AppContext &app, QWidget *parent) : QDialog(parent), app_(app)
{
    setObjectName(QStringLiteral("TFSystem_enter"));
    setWindowTitle(QStringLiteral("用户登录"));
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    Edit1->setMaxLength(8);
    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("确定"));
    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("取消"));

    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto *form = new QFormLayout(panel);
    form->addRow(QStringLiteral("当前日期："), DateTimePicker1);
    form->addRow(QStringLiteral("用户名称："), ComboBox1);
    form->addRow(QStringLiteral("用户密码："), Edit1);
    auto *l = new QVBoxLayout(this);
    l->addWidget(panel);
    l->addLayout(buttonRow(Button1, Button2));

    connect(Button1, &QPushButton::clicked, this, &TFSystem_enter::confirm);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) {
        if (old && (old == ComboBox1 || old == ComboBox1->lineEdit()))
            resolveUserNumber();
    });
    FormKeys::install(this, FormKeys::Defaults);
}

// Focus moves while the window's children are destroyed: stop listening first.
TFSystem_enter::~TFSystem_enter() { disconnect(focusWatch_); }

void TFSystem_enter::showEvent(QShowEvent *event)
{
    if (!prepared_)
        prepare();
    QDialog::showEvent(event);
}

void TFSystem_enter::prepare()
{
    prepared_ = true;
    DateTimePicker1->setDate(app_.clock.now().date());
    ComboBox1->clear();
    const RowSet rs = app_.data.ADOConnection1.query(QStringLiteral("Select user_name From user_info ORDER BY user_number"));
    for (int i = 0; i < rs.size(); ++i)
        ComboBox1->addItem(rs.value(i, 0).toString());
    ComboBox1->setEditText(app_.settings.read(QStringLiteral("DL_User")));
}

void TFSystem_enter::resolveUserNumber()
{
    const RowSet rs = app_.data.ADOConnection1.query(QStringLiteral("Select user_name From user_info where user_number=:n"),
                                                     {{QStringLiteral("n"), ComboBox1->currentText()}});
    if (!rs.isEmpty())
        ComboBox1->setEditText(rs.value(0, 0).toString());
}

void TFSystem_enter::confirm()
{
    const QString name = ComboBox1->currentText();
    const RowSet rs = app_.data.ADOConnection1.query(QStringLiteral("Select user_pass, purview_name From user_info where user_name=:n"),
                                                     {{QStringLiteral("n"), name}});
    if (rs.isEmpty()) {
        app_.dialogs.say(this, QStringLiteral("该用户不存在。"));
        ComboBox1->setFocus();
        return;
    }
    if (rs.value(0, 0).toString() != Edit1->text()) {
        app_.dialogs.say(this, QStringLiteral("密码不正确。"));
        Edit1->setFocus();
        return;
    }
    const QDateTime now = app_.clock.now();
    if (DateTimePicker1->date() != now.date())
        app_.clock.setLocalTime(QDateTime(DateTimePicker1->date(), now.time())); // a refusal is ignored
    app_.settings.write(QStringLiteral("DL_User"), name);
    app_.settings.write(QStringLiteral("SystemName"), rs.value(0, 1).toString());
    app_.session = {name, rs.value(0, 1).toString()};
    accept();
}
