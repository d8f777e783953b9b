#include "bill_dialogs.h"

#include "app_context.h"
#include "bill_pickers.h"
#include "dataset.h"
#include "dialogs.h"
#include "goods_bill_window.h"
#include "helpers.h"
#include "keys.h"
#include "stock_ledger.h"
#include "tfdata.h"

#include "widgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QLineEdit *edit(QWidget *parent, const QString &name, bool readOnly = false)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(readOnly);
    return e;
}
QHBoxLayout *pair(QRadioButton *a, QRadioButton *b)
{
    auto *l = new QHBoxLayout;
    l->addWidget(a);
    l->addWidget(b);
    l->addStretch();
    auto *group = new QButtonGroup(a);
    group->addButton(a);
    group->addButton(b);
    a->setChecked(true);
    return l;
}
} // namespace

// ---- batch entry --------------------------------------------------------------------

TFAddGoodsLines::TFAddGoodsLines(AppContext &app, TFGoodsBill &bill)
    : QDialog(&bill), app_(app), bill_(bill), sale_(bill.kind().flow == StockFlow::Out)
{
    setObjectName(sale_ ? QStringLiteral("TFAdd_Goods_Sell") : QStringLiteral("TFAdd_stock_form"));
    setWindowTitle(QStringLiteral("增加商品资料"));
    GoodsID = edit(this, QStringLiteral("GoodsID"));
    SelectButton = makeButton(this, QStringLiteral("SelectButton"), QStringLiteral("选择"));
    GoodsName = edit(this, QStringLiteral("GoodsName"), true);
    Unit = edit(this, QStringLiteral("Unit"), true);
    Spec = edit(this, QStringLiteral("Spec"), true);
    Config = edit(this, QStringLiteral("Config"), true);
    Colour = new QComboBox(this);
    Colour->setObjectName(QStringLiteral("Colour"));
    Salesman = new QComboBox(this);
    Salesman->setObjectName(QStringLiteral("Salesman"));
    Salesman->setEditable(true);
    Price = edit(this, QStringLiteral("Price"));
    StateYes = new QRadioButton(sale_ ? QStringLiteral("已收") : QStringLiteral("已付"), this);
    StateNo = new QRadioButton(sale_ ? QStringLiteral("未收") : QStringLiteral("未付"), this);
    GiftYes = new QRadioButton(QStringLiteral("有"), this);
    GiftNo = new QRadioButton(QStringLiteral("无"), this);
    StateDate = new QDateEdit(app.clock.now().date(), this);
    StateDate->setObjectName(QStringLiteral("StateDate"));
    StateDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    StateDate->setCalendarPopup(true);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setMaximumHeight(50);
    IMEI = edit(this, QStringLiteral("IMEI"));
    SN = edit(this, QStringLiteral("SN"));
    OkButton = makeButton(this, QStringLiteral("OkButton"), QStringLiteral("确定"));
    CancelButton = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("取消"));

    auto *form = new QFormLayout;
    auto *goods = new QHBoxLayout;
    goods->addWidget(GoodsID);
    goods->addWidget(SelectButton);
    form->addRow(QStringLiteral("商品编号："), goods);
    if (sale_)
        form->addRow(sale_ ? QStringLiteral("收款日期：") : QStringLiteral("付款日期："), StateDate);
    form->addRow(QStringLiteral("商品名称："), GoodsName);
    form->addRow(QStringLiteral("单位："), Unit);
    form->addRow(QStringLiteral("规格："), Spec);
    form->addRow(QStringLiteral("配置："), Config);
    if (sale_) {
        form->addRow(QStringLiteral("业务员："), Salesman);
        Colour->hide();
    } else {
        form->addRow(QStringLiteral("颜色："), Colour);
        Salesman->hide();
    }
    form->addRow(QStringLiteral("单价："), Price);
    form->addRow(sale_ ? QStringLiteral("收款状态：") : QStringLiteral("付款状态："), pair(StateYes, StateNo));
    if (sale_) {
        form->addRow(QStringLiteral("赠品："), pair(GiftYes, GiftNo));
    } else {
        GiftYes->hide();
        GiftNo->hide();
        form->addRow(QStringLiteral("付款日期："), StateDate);
    }
    form->addRow(QStringLiteral("备注："), Memo);
    form->addRow(QStringLiteral("IMEI号："), IMEI);
    form->addRow(QStringLiteral("S/N号："), SN);
    auto *l = new QVBoxLayout(this);
    l->addLayout(form);
    l->addLayout(buttonRow(OkButton, CancelButton));

    const RowSet colours = app_.data.ADOConnection1.query(QStringLiteral("Select ColorName From Color ORDER BY ColorID"));
    for (int i = 0; i < colours.size(); ++i)
        Colour->addItem(colours.value(i, 0).toString());
    if (sale_)
        FillClerkCombo(app_.data, Salesman, salesmanId_);

    connect(GoodsID, &QLineEdit::editingFinished, this, &TFAddGoodsLines::goodsChanged);
    connect(SelectButton, &QPushButton::clicked, this, [this] {
        const bool picked = sale_ ? pickStockGoods(app_, this, bill_.ComboBox1->currentText()) : pickCatalogueGoods(app_, this);
        if (picked) {
            GoodsID->setText(app_.vars.SelMerchandiseID);
            goodsChanged();
        }
    });
    connect(Salesman, &QComboBox::activated, this, [this] {
        QString name;
        FindClerk(app_.data, Salesman->currentText(), salesmanId_, name);
    });
    connect(OkButton, &QPushButton::clicked, this, &TFAddGoodsLines::confirm);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *keys = FormKeys::install(this, FormKeys::Defaults | FormKeys::ArrowsMove);
    keys->bindEnter(IMEI, [this] { confirm(); });
    keys->bindEnter(GoodsID, [this] {
        goodsChanged();
        (sale_ ? static_cast<QWidget *>(StateDate) : Colour)->setFocus();
    });
}

void TFAddGoodsLines::goodsChanged()
{
    const RowSet rs = app_.data.ADOConnection1.query(
        QStringLiteral("Select MerchandiseName,Unit,Spec,MerchandiseConfigID From Merchandise WHERE MerchandiseID = :id"),
        {{QStringLiteral("id"), GoodsID->text().trimmed()}});
    GoodsName->setText(rs.isEmpty() ? QString() : rs.value(0, 0).toString());
    Unit->setText(rs.isEmpty() ? QString() : rs.value(0, 1).toString());
    Spec->setText(rs.isEmpty() ? QString() : rs.value(0, 2).toString());
    Config->setText(rs.isEmpty() ? QString() : GetConfigName(app_.data, sqlvalue::toInt(rs.value(0, 3))));
    Price->setText(store::GetInCost(app_.data.ADOConnection1, GoodsID->text().trimmed(), bill_.ComboBox1->currentText()).toString(2));
}

bool TFAddGoodsLines::confirm()
{
    if (GoodsName->text().trimmed().isEmpty()) {
        app_.dialogs.warn(this, QStringLiteral("商品名称不能为空。"));
        return false;
    }
    if (sale_) {
        QString name;
        FindClerk(app_.data, Salesman->currentText(), salesmanId_, name);
    }
    DataSet &lines = *bill_.lines();
    try {
        if (lines.isEditing())
            lines.post();
        lines.append();
        lines.setValue(QStringLiteral("MerchandiseID"), GoodsID->text().trimmed());
        if (!sale_) {
            const QVariant colour = app_.data.ADOConnection1.scalar(QStringLiteral("Select ColorID From Color Where ColorName=:n"),
                                                                   {{QStringLiteral("n"), Colour->currentText()}});
            lines.setValue(QStringLiteral("MerchandiseColorID"), colour);
        }
        lines.setValue(QStringLiteral("Amount"), 1);
        lines.setValue(QStringLiteral("Cost"), Price->text());
        const QString state = sale_ ? QStringLiteral("GatheringStates") : QStringLiteral("PaymentStates");
        const QString date = sale_ ? QStringLiteral("GatheringDate") : QStringLiteral("PaymentDate");
        lines.setValue(state, StateYes->isChecked());
        lines.setValue(date, StateYes->isChecked() ? QVariant(StateDate->date().startOfDay()) : QVariant());
        if (sale_) {
            lines.setValue(QStringLiteral("Largess"), GiftYes->isChecked());
            lines.setValue(QStringLiteral("ClerkID"), salesmanId_.isEmpty() ? QVariant() : QVariant(salesmanId_));
        }
        lines.setValue(QStringLiteral("Remark"), Memo->toPlainText());
        lines.setValue(QStringLiteral("IMEI"), IMEI->text().trimmed());
        if (!SN->text().isEmpty() || !sale_)
            lines.setValue(QStringLiteral("SN"), SN->text());
        lines.post();
    } catch (const AbortError &) {
        // The bill refused the line: it goes, the handset stays in the box for correction.
        if (lines.state() == DataSet::State::Insert)
            lines.cancel();
        return false;
    }
    IMEI->clear();
    SN->clear();
    IMEI->setFocus();
    return true;
}

// ---- buyer ------------------------------------------------------------------------------

TFSell_client_data::TFSell_client_data(AppContext &app, const QVariant &buyerId, QWidget *parent)
    : QDialog(parent), app_(app), buyerId_(buyerId)
{
    setObjectName(QStringLiteral("TFSell_client_data"));
    setWindowTitle(QStringLiteral("顾客资料"));
    BuyerName = edit(this, QStringLiteral("BuyerName"));
    BuyerName->setMaxLength(48);
    IDCard = edit(this, QStringLiteral("IDCard"));
    IDCard->setMaxLength(30);
    Mail = edit(this, QStringLiteral("Mail"));
    Mail->setMaxLength(20);
    Address = edit(this, QStringLiteral("Address"));
    Address->setMaxLength(48);
    Phone = edit(this, QStringLiteral("Phone"));
    Phone->setMaxLength(50);
    OkButton = makeButton(this, QStringLiteral("OkButton"), QStringLiteral("确定"));
    CancelButton = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("取消"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("顾客名称："), BuyerName);
    form->addRow(QStringLiteral("身份证号："), IDCard);
    form->addRow(QStringLiteral("邮编："), Mail);
    form->addRow(QStringLiteral("联系地址："), Address);
    form->addRow(QStringLiteral("联系电话："), Phone);
    auto *l = new QVBoxLayout(this);
    l->addLayout(form);
    l->addLayout(buttonRow(OkButton, CancelButton));

    if (!buyerId_.isNull()) {
        const RowSet rs = app_.data.ADOConnection1.query(
            QStringLiteral("Select BuyerName,IDCard,Mail,Address,Phone From Buyer Where BuyerID=:id"), {{QStringLiteral("id"), buyerId_}});
        if (!rs.isEmpty()) {
            BuyerName->setText(rs.value(0, 0).toString());
            IDCard->setText(rs.value(0, 1).toString());
            Mail->setText(rs.value(0, 2).toString());
            Address->setText(rs.value(0, 3).toString());
            Phone->setText(rs.value(0, 4).toString());
        } else {
            buyerId_ = QVariant();
        }
    }
    connect(OkButton, &QPushButton::clicked, this, &TFSell_client_data::confirm);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *keys = FormKeys::install(this, FormKeys::Defaults | FormKeys::ArrowsMove);
    keys->bindEnter(Phone, [this] { confirm(); });
}

void TFSell_client_data::confirm()
{
    if (BuyerName->text().trimmed().isEmpty()) {
        app_.dialogs.warn(this, QStringLiteral("请输入顾客名称。"));
        return;
    }
    Database &db = app_.data.ADOConnection1;
    const Params values{{QStringLiteral("n"), BuyerName->text()},
                        {QStringLiteral("c"), IDCard->text()},
                        {QStringLiteral("m"), Mail->text()},
                        {QStringLiteral("a"), Address->text()},
                        {QStringLiteral("p"), Phone->text()}};
    try {
        if (buyerId_.isNull()) {
            buyerId_ = db.insertReturningId(QStringLiteral("Insert Into Buyer(BuyerName,IDCard,Mail,Address,Phone) Values(:n,:c,:m,:a,:p)"),
                                            values, QStringLiteral("BuyerID"));
        } else {
            Params p = values;
            p.append({QStringLiteral("id"), buyerId_});
            db.exec(QStringLiteral("Update Buyer Set BuyerName=:n,IDCard=:c,Mail=:m,Address=:a,Phone=:p Where BuyerID=:id"), p);
        }
    } catch (const DbError &) {
        app_.dialogs.error(this, QStringLiteral("该信息正被其它表单使用或网络出现故障，不能保存。"));
        return;
    }
    accept();
}

// ---- sale record ------------------------------------------------------------------------

TFGoods_client_data::TFGoods_client_data(AppContext &app, const QString &imei, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFGoods_client_data"));
    setWindowTitle(QStringLiteral("销售资料"));
    const RowSet rs = app.data.ADOConnection1.query(QStringLiteral("Select SD.*,Buyer.BuyerName,Buyer.Phone As BuyerPhone "
                                                                   "From SellDetail AS SD "
                                                                   "LEFT JOIN Buyer ON Buyer.BuyerID=SD.BuyerID "
                                                                   "Where IMEI=:IMEI ORDER BY SD.RecordID"),
                                                    {{QStringLiteral("IMEI"), imei}});
    auto v = [&](const char *column) { return rs.isEmpty() ? QVariant() : rs.value(0, QString::fromLatin1(column)); };
    auto add = [this](QFormLayout *form, const QString &caption, const QString &text) {
        auto *label = new QLabel(text, this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption + QStringLiteral("："), label);
        values_.append({caption, label});
    };
    auto *buyer = new QGroupBox(QStringLiteral(" 顾客资料 "), this);
    auto *bf = new QFormLayout(buyer);
    add(bf, QStringLiteral("顾客姓名"), sqlvalue::toString(v("BuyerName")));
    add(bf, QStringLiteral("联系电话"), sqlvalue::toString(v("BuyerPhone")));
    auto *sale = new QGroupBox(QStringLiteral(" 购机资料 "), this);
    auto *sf = new QFormLayout(sale);
    add(sf, QStringLiteral("销售单据号"), sqlvalue::toString(v("OrderID")));
    const QDateTime date = sqlvalue::toDateTime(v("GatheringDate"));
    add(sf, QStringLiteral("购买日期"), date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString());
    add(sf, QStringLiteral("商品名称"), sqlvalue::toString(v("MerchandiseName")));
    add(sf, QStringLiteral("业务员"), v("ClerkID").isNull() ? QString() : GetClerkName(app.data, sqlvalue::toString(v("ClerkID"))));
    add(sf, QStringLiteral("颜色"), GetColorName(app.data, sqlvalue::toInt(v("MerchandiseColorID"))));
    add(sf, QStringLiteral("规格"), sqlvalue::toString(v("Spec")));
    add(sf, QStringLiteral("IMEI号"), sqlvalue::toString(v("IMEI")));
    add(sf, QStringLiteral("配置"), GetConfigName(app.data, sqlvalue::toInt(v("MerchandiseConfigID"))));
    add(sf, QStringLiteral("单价"), rs.isEmpty() ? QString() : Money::fromVariant(v("Cost")).toDisplay());
    add(sf, QStringLiteral("S/N号"), sqlvalue::toString(v("SN")));
    add(sf, QStringLiteral("赠品"), rs.isEmpty() ? QString() : (sqlvalue::toBool(v("Largess")) ? QStringLiteral("有") : QStringLiteral("无")));
    auto *ok = makeButton(this, QStringLiteral("OkButton"), QStringLiteral("确定"));
    auto *cancel = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("取消"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *l = new QVBoxLayout(this);
    l->addWidget(buyer);
    l->addWidget(sale);
    l->addLayout(buttonRow(ok, cancel));
    FormKeys::install(this, FormKeys::EscCloses);
}

QString TFGoods_client_data::shown(const QString &caption) const
{
    for (const auto &[c, label] : values_)
        if (c == caption)
            return label->text();
    return {};
}
