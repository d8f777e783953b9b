#include "small_dialogs.h"

#include "app_context.h"
#include "database.h"
#include "dialogs.h"
#include "keys.h"
#include "tfdata.h"

#include "widgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QLabel *picture(QWidget *parent, QStyle::StandardPixmap which)
{
    auto *l = new QLabel(parent);
    l->setPixmap(parent->style()->standardIcon(which).pixmap(48, 48));
    return l;
}
} // namespace

TFInput_password::TFInput_password(AppContext &app, const QString &clerkId, QWidget *parent)
    : QDialog(parent), app_(app), clerkId_(clerkId)
{
    setObjectName(QStringLiteral("TFInput_password"));
    setWindowTitle(QStringLiteral("输入密码"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("确定"));
    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("取消"));
    auto *l = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("输入密码："), this));
    row->addWidget(Edit1);
    l->addLayout(row);
    l->addLayout(buttonRow(Button1, Button2));
    connect(Button1, &QPushButton::clicked, this, &TFInput_password::confirm);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    auto *keys = FormKeys::install(this, FormKeys::EscCloses);
    keys->bindEnter(Edit1, [this] { confirm(); });
    keys->bindEnter(Button1, [this] { confirm(); });
}

void TFInput_password::confirm()
{
    const RowSet rs = app_.data.ADOConnection1.query(QStringLiteral("Select Pass From Clerk Where ClerkID=:id"),
                                                     {{QStringLiteral("id"), clerkId_}});
    if (rs.isEmpty()) {
        app_.dialogs.warn(this, QStringLiteral("没有该用户名。"));
        return;
    }
    if (rs.value(0, 0).toString() != Edit1->text()) {
        app_.dialogs.say(this, QStringLiteral("密码不正确。"));
        Edit1->setFocus();
        return;
    }
    accept();
}

TFMyInputbox::TFMyInputbox(const QString &caption, const QString &prompt, const QString &defaultText, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFMyInputbox"));
    setWindowTitle(caption);
    resize(300, 113);
    Edit1 = new QLineEdit(defaultText, this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(273);
    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("确定"));
    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("取消"));
    auto *l = new QVBoxLayout(this);
    l->addWidget(new QLabel(prompt, this));
    l->addWidget(Edit1);
    l->addLayout(buttonRow(Button1, Button2));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    auto *keys = FormKeys::install(this, FormKeys::Defaults | FormKeys::ArrowsMove);
    keys->bindEnter(Edit1, [this] { accept(); });
}

QString TFMyInputbox::text() const { return Edit1->text(); }

TFrMessage::TFrMessage(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrMessage"));
    setWindowTitle(QStringLiteral("提示"));
    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("确定"));
    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("取消"));
    auto *l = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(picture(this, QStyle::SP_MessageBoxQuestion));
    auto *texts = new QVBoxLayout;
    texts->addWidget(new QLabel(QStringLiteral("是否保存?"), this));
    auto *reminder = new QLabel(QStringLiteral("请仔细确定单据的实际收付款金额是否正确！"), this);
    reminder->setStyleSheet(QStringLiteral("color: red"));
    texts->addWidget(reminder);
    row->addLayout(texts);
    l->addLayout(row);
    l->addLayout(buttonRow(Button1, Button2));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormKeys::install(this, FormKeys::EscCloses);
}

TFSystem_exit::TFSystem_exit(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFSystem_exit"));
    setWindowTitle(QStringLiteral("退出系统"));
    Button1 = makeButton(this, QStringLiteral("Button1"), QStringLiteral("确定"));
    Button2 = makeButton(this, QStringLiteral("Button2"), QStringLiteral("取消"));
    auto *l = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(picture(this, QStyle::SP_MessageBoxQuestion));
    row->addWidget(new QLabel(QStringLiteral("确定要退出系统吗？"), this));
    l->addLayout(row);
    l->addLayout(buttonRow(Button1, Button2));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormKeys::install(this, FormKeys::EscCloses);
}

TFHel_other_product::TFHel_other_product(AppContext &app, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFHel_other_product"));
    setWindowTitle(QStringLiteral("关于"));
    auto *l = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("“Tessaly”手机通讯版V1.0"), this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    title->setFont(f);
    l->addWidget(title);
    l->addWidget(new QLabel(QStringLiteral("Quenlo 软件工作室"), this));
    l->addWidget(new QLabel(QStringLiteral("版权所有，保留一切权利。"), this));
    auto *link = new QLabel(QStringLiteral("<a href=\"https://quenlo.example\" style=\"color:blue\">https://quenlo.example</a>"), this);
    link->setObjectName(QStringLiteral("Link"));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(link, &QLabel::linkActivated, this, [&app](const QString &url) { app.dialogs.openUrl(url); });
    l->addWidget(link);
    auto *close = makeButton(this, QStringLiteral("Button1"), QStringLiteral("关闭"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(close);
    l->addLayout(row);
    FormKeys::install(this, FormKeys::EscCloses);
}

TFlogo::TFlogo(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TFlogo"));
    setFixedSize(551, 330);
    setAutoFillBackground(true);
    QPalette p = palette();
    QLinearGradient g(0, 0, 0, 330);
    g.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
    g.setColorAt(1, QColor(0x8c, 0xc4, 0xf0));
    p.setBrush(QPalette::Window, g);
    setPalette(p);
    auto *l = new QHBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("“Tessaly”手机通讯版 V1.0"), this);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(21);
    f.setBold(true);
    title->setFont(f);
    title->setStyleSheet(QStringLiteral("color: white"));
    auto *edition = new QLabel(QStringLiteral("标准版"), this);
    edition->setFont(f);
    edition->setStyleSheet(QStringLiteral("color: yellow"));
    l->addStretch();
    l->addWidget(title);
    l->addWidget(edition);
    l->addStretch();
}
