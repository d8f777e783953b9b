#include "select_partner.h"

#include "app_context.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "keys.h"
#include "pickers_common.h"
#include "tfdata.h"

#include "widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kSelect = QStringLiteral(
    "SELECT ClientID, ClientName, CASE WHEN CostType=1 THEN '应收' ELSE '应付' END AS CostTypeName, FactCost "
    "FROM Client");

// Enter on the grid picks the current row.
} // namespace

TFSelect_corporation::TFSelect_corporation(AppContext &app, QWidget *parent) : QDialog(parent), app_(app)
{
    setObjectName(QStringLiteral("TFSelect_corporation"));
    setWindowTitle(QStringLiteral("选择往来单位"));
    resize(436, 445);

    query = new DataSet(&app.data.ADOConnection1, this);
    query->setUpdateTable(QStringLiteral("Client"), {QStringLiteral("ClientID")});
    DBGridEh1 = new DBGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    pickers::setupGrid(DBGridEh1, query);

    CheckBox1 = new QCheckBox(QStringLiteral("单位编号："), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    CheckBox2 = new QCheckBox(QStringLiteral("单位名称："), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    FindButton = makeButton(this, QStringLiteral("FindButton"), QStringLiteral("查找"));
    OkButton = makeButton(this, QStringLiteral("OkButton"), QStringLiteral("确定"));
    CancelButton = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("取消"));

    auto *search = new QGridLayout;
    search->addWidget(CheckBox1, 0, 0);
    search->addWidget(Edit1, 0, 1);
    search->addWidget(CheckBox2, 1, 0);
    search->addWidget(Edit2, 1, 1);
    search->addWidget(FindButton, 0, 2, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto *l = new QVBoxLayout(this);
    l->addWidget(DBGridEh1, 1);
    l->addLayout(search);
    l->addLayout(buttons);

    connect(FindButton, &QPushButton::clicked, this, &TFSelect_corporation::find);
    connect(OkButton, &QPushButton::clicked, this, &TFSelect_corporation::choose);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGridEh1->view(), &QAbstractItemView::doubleClicked, this, &TFSelect_corporation::choose);
    pickers::onEnter(DBGridEh1->view(), [this] { choose(); });

    auto *keys = FormKeys::install(this, FormKeys::Defaults);
    keys->bindCtrl(Qt::Key_F, [this] { find(); });
    keys->bindEnter(Edit1, [this] { find(); });
    keys->bindEnter(Edit2, [this] { find(); });

    query->setSql(kSelect + QStringLiteral(" ORDER BY ClientID"));
    query->open();
    pickers::showColumns(DBGridEh1, {{QStringLiteral("ClientID"), QStringLiteral("单位编号")},
                                     {QStringLiteral("ClientName"), QStringLiteral("单位名称")},
                                     {QStringLiteral("CostTypeName"), QStringLiteral("金额类别")},
                                     {QStringLiteral("FactCost"), QStringLiteral("金额")}});
    pickers::syncView(DBGridEh1);
    DBGridEh1->view()->setFocus();
}

void TFSelect_corporation::find()
{
    QStringList conditions;
    query->clearParams();
    if (CheckBox1->isChecked()) {
        conditions << QStringLiteral("ClientID LIKE :id ESCAPE '\\'");
        query->setParam(QStringLiteral("id"), pickers::containsPattern(Edit1->text()));
    }
    if (CheckBox2->isChecked()) {
        conditions << QStringLiteral("ClientName LIKE :name ESCAPE '\\'");
        query->setParam(QStringLiteral("name"), pickers::containsPattern(Edit2->text()));
    }
    QString sql = kSelect;
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    query->setSql(sql + QStringLiteral(" ORDER BY ClientID"));
    query->open();
    pickers::syncView(DBGridEh1);
    if (query->isEmpty())
        app_.dialogs.inform(this, QStringLiteral("没有符合条件的记录。"));
}

QString TFSelect_corporation::clientId() const
{
    return query->recNo() < 0 ? QString() : pickers::keyText(query->value(QStringLiteral("ClientID")));
}

QString TFSelect_corporation::clientName() const
{
    return query->recNo() < 0 ? QString() : query->text(QStringLiteral("ClientName"));
}

void TFSelect_corporation::choose()
{
    // An empty list has nothing to choose; the dialog stays for another search.
    if (query->recNo() >= 0)
        accept();
}

bool PickPartner(AppContext &app, QWidget *parent, QString &clientId, QString &clientName)
{
    TFSelect_corporation dlg(app, parent);
    if (app.dialogs.exec(&dlg) != QDialog::Accepted || dlg.clientId().isEmpty())
        return false;
    clientId = dlg.clientId();
    clientName = dlg.clientName();
    return true;
}
