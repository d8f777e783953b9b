#include "goods_bill_window.h"

#include "app_context.h"
#include "bill_dialogs.h"
#include "bill_pickers.h"
#include "dataset.h"
#include "dataset_model.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "excel_export.h"
#include "goods_bill_save.h"
#include "helpers.h"
#include "keys.h"
#include "order_number.h"
#include "report_preview.h"
#include "small_dialogs.h"
#include "tfdata.h"
#include "window_catalog.h"

#include "widgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Stock-limit warnings are kept until the save is over: nobody is asked a
// question while the save holds its locks.
class CollectedWarnings : public store::StockWarnings {
public:
    void stockWarning(const store::StockWarning &w) override { texts << w.text(); }
    QStringList texts;
};

const QString kIMEI = QStringLiteral("IMEI");

} // namespace

TFGoodsBill::TFGoodsBill(AppContext &app, const GoodsBillKind &kind, QWidget *parent)
    : QDialog(parent), app_(app), kind_(kind)
{
    setObjectName(kind.windowName);
    setWindowTitle(kind.caption);
    resize(792, 473);

    Enumber = new QLineEdit(this);
    Enumber->setObjectName(QStringLiteral("Enumber"));
    Enumber->setMaxLength(25);
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    SelectButton = makeButton(this, QStringLiteral("SelectButton"), QStringLiteral("选择"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);

    auto *header = new QGridLayout;
    header->addWidget(new QLabel(QStringLiteral("单据号："), this), 0, 0);
    header->addWidget(Enumber, 0, 1);
    header->addWidget(new QLabel(kind.dateLabel, this), 0, 2);
    header->addWidget(DateTimePicker1, 0, 3);
    if (kind.hasPartner) {
        header->addWidget(new QLabel(kind.partnerLabel, this), 0, 4);
        auto *partner = new QHBoxLayout;
        partner->addWidget(Edit1);
        partner->addWidget(SelectButton);
        header->addLayout(partner, 0, 5);
    } else {
        Edit1->hide();
        SelectButton->hide();
    }
    header->addWidget(new QLabel(kind.storehouseLabel, this), 1, 0);
    header->addWidget(ComboBox1, 1, 1);
    header->addWidget(new QLabel(QStringLiteral("经手人："), this), 1, 2);
    header->addWidget(ComboBox2, 1, 3);

    DBGridEh1 = new DBGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));

    Edit4 = new QLineEdit(this);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    ComboBox3 = new QComboBox(this);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    NumEdit1 = new QLineEdit(this);
    NumEdit1->setObjectName(QStringLiteral("NumEdit1"));
    NumEdit1->setMaxLength(15);
    NumEdit1->setAlignment(Qt::AlignRight);
    Label11 = new QLabel(QStringLiteral("0.00"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    auto *footer = new QGridLayout;
    footer->addWidget(new QLabel(QStringLiteral("摘要："), this), 0, 0);
    footer->addWidget(Edit4, 0, 1, 1, 5);
    if (kind.hasMoney) {
        footer->addWidget(new QLabel(QStringLiteral("资金帐户："), this), 1, 0);
        footer->addWidget(ComboBox3, 1, 1);
        footer->addWidget(new QLabel(kind.settledLabel, this), 1, 2);
        footer->addWidget(NumEdit1, 1, 3);
        footer->addWidget(new QLabel(kind.openLabel, this), 1, 4);
        footer->addWidget(Label11, 1, 5);
    } else {
        ComboBox3->hide();
        NumEdit1->hide();
        Label11->hide();
    }

    PrintButton = makeButton(this, QStringLiteral("PrintButton"), QStringLiteral("打印"));
    ExportButton = makeButton(this, QStringLiteral("ExportButton"), QStringLiteral("导出"));
    SaveButton = makeButton(this, QStringLiteral("SaveButton"), QStringLiteral("保存"));
    BatchButton = makeButton(this, QStringLiteral("BatchButton"), QStringLiteral("成批增加"));
    AddButton = makeButton(this, QStringLiteral("AddButton"), QStringLiteral("增加"));
    DeleteButton = makeButton(this, QStringLiteral("DeleteButton"), QStringLiteral("删除"));
    CloseButton = makeButton(this, QStringLiteral("CloseButton"), QStringLiteral("关闭"));
    BatchButton->setVisible(kind.hasBatchEntry);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {PrintButton, ExportButton, SaveButton, BatchButton, AddButton, DeleteButton, CloseButton})
        buttons->addWidget(b);
    buttons->addStretch();

    auto *l = new QVBoxLayout(this);
    l->addLayout(buttons);
    l->addLayout(header);
    l->addWidget(DBGridEh1, 1);
    l->addLayout(footer);

    connect(PrintButton, &QPushButton::clicked, this, &TFGoodsBill::print);
    connect(ExportButton, &QPushButton::clicked, this, &TFGoodsBill::exportLines);
    connect(SaveButton, &QPushButton::clicked, this, &TFGoodsBill::save);
    connect(BatchButton, &QPushButton::clicked, this, &TFGoodsBill::batchAdd);
    connect(AddButton, &QPushButton::clicked, this, &TFGoodsBill::addLine);
    connect(DeleteButton, &QPushButton::clicked, this, &TFGoodsBill::deleteLine);
    connect(CloseButton, &QPushButton::clicked, this, &TFGoodsBill::reject);
    connect(SelectButton, &QPushButton::clicked, this, [this] {
        QString name;
        Edit1->setText(pickPartnerName(app_, this, name) ? name : QString());
    });
    connect(Edit1, &QLineEdit::editingFinished, this, &TFGoodsBill::resolvePartner);
    connect(ComboBox2, &QComboBox::currentTextChanged, this, [this] { passwordFlag_ = true; });
    connect(ComboBox2->lineEdit(), &QLineEdit::editingFinished, this, &TFGoodsBill::resolveClerk);
    connect(ComboBox2, &QComboBox::activated, this, &TFGoodsBill::resolveClerk);
    connect(NumEdit1, &QLineEdit::textEdited, this, &TFGoodsBill::settledEdited);
    connect(DBGridEh1, &DBGrid::ellipsisClicked, this, &TFGoodsBill::ellipsis);
    connect(DBGridEh1, &DBGrid::cellDoubleClicked, this, [this](const QString &field) {
        if (field != QLatin1String("ColorName") && field != QLatin1String("SalesmanName") && field != QLatin1String("BuyerName"))
            addLine();
    });

    auto *keys = FormKeys::install(this, FormKeys::Defaults);
    keys->bindCtrl(Qt::Key_P, [this] { print(); });
    keys->bindCtrl(Qt::Key_S, [this] { save(); });
    keys->bindCtrl(Qt::Key_N, [this] { addLine(); });
    keys->bindCtrl(Qt::Key_E, [this] { exportLines(); });
    keys->bindDelete([this] { deleteLine(); });
    keys->bindEnter(ComboBox2->lineEdit(), [this] {
        resolveClerk();
        DBGridEh1->focusField(QStringLiteral("MerchandiseID"));
    });

    // Opening: the combos, today's date, the next number, an empty set of lines.
    FillStorehouseCombo(app_.data, ComboBox1);
    FillAccountCombo(app_.data, ComboBox3);
    FillClerkCombo(app_.data, ComboBox2, app_.vars.CurClerkID);
    DateTimePicker1->setDate(app_.clock.now().date());
    Enumber->setText(NextOrderID(app_.data.ADOConnection1, kind_.masterTable));

    lines_ = new DataSet(&app_.data.ADOConnection1, this);
    lines_->setSql(QStringLiteral("Select * From %1 Where OrderID=:o").arg(kind_.detailTable));
    lines_->setUpdateTable(kind_.detailTable, {QStringLiteral("RecordID")});
    lines_->setBatchMode(true);
    lines_->addCalculatedField(QStringLiteral("LineID"), QStringLiteral("行号"));
    for (const char *name : {"ColorName", "ConfigName", "SalesmanName", "BuyerName"})
        lines_->addCalculatedField(QString::fromLatin1(name), {}, ColumnKind::Text);
    lines_->onCalcFields = [this](DataSet &ds, int row) { calcLine(ds, row); };
    lines_->onNewRecord = [this](DataSet &ds) { newLine(ds); };
    lines_->onFieldChanged = [this](DataSet &ds, const QString &field) { fieldChanged(ds, field); };
    lines_->beforePost = [this](DataSet &ds) { checkLine(ds); };
    for (const auto &state : kind_.statesWithDates)
        lastLine_.insert(state.first, true);
    for (const QString &f : kind_.trueByDefault)
        lastLine_.insert(f, true);
    openLines();
    passwordFlag_ = true;
}

TFGoodsBill::~TFGoodsBill()
{
    lines_->onCalcFields = nullptr;
    lines_->onNewRecord = nullptr;
    lines_->onFieldChanged = nullptr;
    lines_->beforePost = nullptr;
}

void TFGoodsBill::openLines()
{
    lines_->setParam(QStringLiteral("o"), Enumber->text());
    lines_->open();
    setUpFields();
    recomputeTotal();
}

void TFGoodsBill::setUpFields()
{
    for (const Field &f : lines_->fields())
        lines_->field(f.name).visible = false;
    QStringList order;
    for (const BillColumn &c : kind_.columns) {
        if (!lines_->hasField(c.field))
            continue;
        Field &f = lines_->field(c.field);
        f.displayLabel = c.caption;
        f.visible = c.visible;
        f.displayWidth = c.width;
        if (c.ellipsis)
            f.readOnly = false;
        order << c.field;
    }
    for (const QString &money : {QStringLiteral("Cost"), QStringLiteral("TotalCost")})
        lines_->field(money).displayFormat = QStringLiteral("#,###.00");
    if (lines_->hasField(QStringLiteral("Largess")))
        lines_->field(QStringLiteral("Largess")).displayFormat = QStringLiteral("有;无");
    for (const char *name : {"LineID", "ConfigName"})
        lines_->field(QString::fromLatin1(name)).readOnly = true;
    if (!DBGridEh1->model())
        DBGridEh1->setDataSet(lines_);
    DBGridEh1->model()->setColumnOrder(order);
    QStringList sums;
    for (const BillColumn &c : kind_.columns)
        if (c.summed)
            sums << c.field;
    DBGridEh1->setSumFields(sums);
    for (const BillColumn &c : kind_.columns)
        if (c.ellipsis)
            DBGridEh1->setEllipsis(c.field);
    for (int i = 0; i < DBGridEh1->model()->columnCount(); ++i) {
        const int f = DBGridEh1->model()->fieldOfColumn(i);
        if (f >= 0 && lines_->fields()[f].displayWidth > 0)
            DBGridEh1->view()->setColumnWidth(i, lines_->fields()[f].displayWidth);
    }
}

QString TFGoodsBill::cachedName(const QString &what, const QVariant &id)
{
    if (id.isNull() || sqlvalue::toString(id).isEmpty())
        return {};
    const QString key = what + QLatin1Char(':') + sqlvalue::toString(id);
    auto it = nameCache_.constFind(key);
    if (it != nameCache_.constEnd())
        return *it;
    QString name;
    if (what == QLatin1String("color"))
        name = GetColorName(app_.data, sqlvalue::toInt(id));
    else if (what == QLatin1String("config"))
        name = GetConfigName(app_.data, sqlvalue::toInt(id));
    else if (what == QLatin1String("clerk"))
        name = GetClerkName(app_.data, sqlvalue::toString(id));
    else
        name = GetBuyerName(app_.data, sqlvalue::toInt(id));
    nameCache_.insert(key, name);
    return name;
}

void TFGoodsBill::calcLine(DataSet &ds, int row)
{
    auto set = [&](const char *field, const QVariant &v) {
        const int f = ds.fieldIndex(QString::fromLatin1(field));
        if (f >= 0)
            ds.setValueAt(row, f, v);
    };
    auto value = [&](const char *field) { return ds.valueAt(row, ds.fieldIndex(QString::fromLatin1(field))); };
    set("LineID", row + 1);
    set("ColorName", cachedName(QStringLiteral("color"), value("MerchandiseColorID")));
    set("ConfigName", cachedName(QStringLiteral("config"), value("MerchandiseConfigID")));
    if (ds.hasField(QStringLiteral("ClerkID")))
        set("SalesmanName", cachedName(QStringLiteral("clerk"), value("ClerkID")));
    if (ds.hasField(QStringLiteral("BuyerID")))
        set("BuyerName", cachedName(QStringLiteral("buyer"), value("BuyerID")));
}

void TFGoodsBill::newLine(DataSet &ds)
{
    const QDateTime billDate = DateTimePicker1->date().startOfDay();
    for (const auto &state : kind_.statesWithDates) {
        const bool on = lastLine_.value(state.first, true).toBool();
        ds.setValue(state.first, on);
        if (on)
            ds.setValue(state.second, billDate);
    }
    for (const QString &f : kind_.trueByDefault)
        ds.setValue(f, lastLine_.value(f, true));
    for (const QString &f : kind_.copiedFromLastLine)
        if (lastLine_.contains(f))
            ds.setValue(f, lastLine_.value(f));
    if (!lastGoods_.isEmpty())
        ds.setValue(QStringLiteral("MerchandiseID"), lastGoods_);
}

void TFGoodsBill::fieldChanged(DataSet &ds, const QString &field)
{
    if (field == QLatin1String("MerchandiseID")) {
        const QString goods = ds.text(field).trimmed();
        FillGoodsFields(app_.data, ds, goods);
        if (kind_.defaultPrice)
            ds.setValue(QStringLiteral("Cost"), QVariant::fromValue(kind_.defaultPrice(app_, goods, ComboBox1->currentText())));
    } else if (field == kIMEI) {
        const QString imei = ds.text(kIMEI).trimmed();
        if (!imei.isEmpty()) {
            ds.setValue(QStringLiteral("Amount"), 1);
            if (kind_.imeiFillsSerialAndColour) {
                ds.setValue(QStringLiteral("SN"), store::GetSNByIMEI(app_.data.ADOConnection1, imei));
                const int colour = store::GetColorByIMEI(app_.data.ADOConnection1, imei);
                ds.setValue(QStringLiteral("MerchandiseColorID"), colour == 0 ? QVariant() : QVariant(colour));
            }
        }
    }
    if (field == QLatin1String("Amount") || field == QLatin1String("Cost") || field == QLatin1String("MerchandiseID") ||
        field == kIMEI) {
        const Money total = ds.money(QStringLiteral("Cost")) * ds.integer(QStringLiteral("Amount"));
        ds.setValue(QStringLiteral("TotalCost"), QVariant::fromValue(total));
        recomputeTotal();
    }
    for (const auto &state : kind_.statesWithDates)
        if (field == state.first) {
            const bool on = ds.boolean(field);
            lastLine_.insert(field, on);
            if (on)
                ds.setValue(state.second, DateTimePicker1->date().startOfDay());
        }
    if (kind_.trueByDefault.contains(field) || kind_.copiedFromLastLine.contains(field))
        lastLine_.insert(field, ds.value(field));
}

void TFGoodsBill::checkLine(DataSet &ds)
{
    if (ds.text(QStringLiteral("MerchandiseID")).trimmed().isEmpty() || ds.text(QStringLiteral("MerchandiseName")).trimmed().isEmpty() ||
        ds.integer(QStringLiteral("Amount")) == 0) {
        app_.dialogs.warn(this, QStringLiteral("商品名称及数量不能为空。"));
        ds.cancel();
        recomputeTotal();
        throw AbortError();
    }
    const QString imei = ds.text(kIMEI).trimmed();
    if (!CheckIMEI(app_, this, imei, ds.text(QStringLiteral("MerchandiseID")).trimmed(), kind_.flow == StockFlow::In)) {
        DBGridEh1->focusField(kIMEI);
        throw AbortError();
    }
    if (kind_.lineChecks && !kind_.lineChecks(app_, this, ds))
        throw AbortError();
    lastGoods_ = ds.text(QStringLiteral("MerchandiseID")).trimmed();
}

void TFGoodsBill::recomputeTotal()
{
    Money total;
    const int f = lines_->fieldIndex(QStringLiteral("TotalCost"));
    for (int r = 0; r < lines_->recordCount(); ++r)
        total += Money::fromVariant(lines_->valueAt(r, f));
    if (total == total_ && !NumEdit1->text().isEmpty())
        return;
    total_ = total;
    NumEdit1->setText(total.toString(2));
    Label11->setText(QStringLiteral("0.00"));
}

void TFGoodsBill::settledEdited()
{
    bool ok = false;
    const Money settled = Money::parse(NumEdit1->text(), &ok);
    if (ok)
        Label11->setText((total_ - settled).toString(2));
}

void TFGoodsBill::resolveClerk()
{
    QString id, name;
    FindClerk(app_.data, ComboBox2->currentText(), id, name);
    app_.vars.CurClerkID = id;
    const QSignalBlocker block(ComboBox2);
    ComboBox2->setEditText(name);
}

void TFGoodsBill::resolvePartner() { Edit1->setText(GetClientName(app_.data, Edit1->text())); }

void TFGoodsBill::appendLine(const QString &goodsId)
{
    if (!storeEditedLine(false))
        return;
    lines_->append();
    lines_->setValue(QStringLiteral("MerchandiseID"), goodsId);
    DBGridEh1->focusField(kind_.flow == StockFlow::In ? QStringLiteral("ColorName") : kIMEI);
}

void TFGoodsBill::addLine()
{
    const bool picked = kind_.flow == StockFlow::In ? pickCatalogueGoods(app_, this)
                                                    : pickStockGoods(app_, this, ComboBox1->currentText());
    if (picked)
        appendLine(app_.vars.SelMerchandiseID);
}

void TFGoodsBill::deleteLine()
{
    if (lines_->isEmpty()) {
        app_.dialogs.warn(this, QStringLiteral("没有记录可以删除。"));
        return;
    }
    if (!app_.dialogs.confirm(this, QStringLiteral("是否确定删除？"), MsgIcon::Warning))
        return;
    try {
        lines_->remove();
    } catch (const DbError &) {
        app_.dialogs.error(this, QStringLiteral("该信息正被其它表单使用或网络出现故障，不能删除。"));
    }
    recomputeTotal();
}

void TFGoodsBill::ellipsis(const QString &field)
{
    if (lines_->recNo() < 0)
        return;
    if (field == QLatin1String("ColorName")) {
        qlonglong colour = lines_->integer(QStringLiteral("MerchandiseColorID"));
        if (pickColour(app_, DBGridEh1->view()->viewport(), colour))
            lines_->setValue(QStringLiteral("MerchandiseColorID"), colour == 0 ? QVariant() : QVariant(colour));
    } else if (field == QLatin1String("SalesmanName")) {
        QString clerk = lines_->text(QStringLiteral("ClerkID"));
        if (pickClerk(app_, DBGridEh1->view()->viewport(), clerk))
            lines_->setValue(QStringLiteral("ClerkID"), clerk);
    } else if (field == QLatin1String("BuyerName")) {
        QVariant buyer = lines_->value(QStringLiteral("BuyerID"));
        TFSell_client_data dlg(app_, buyer, this);
        if (app_.dialogs.exec(&dlg) == QDialog::Accepted)
            lines_->setValue(QStringLiteral("BuyerID"), dlg.buyerId());
    }
}

void TFGoodsBill::batchAdd()
{
    if (!storeEditedLine(false))
        return;
    TFAddGoodsLines dlg(app_, *this);
    app_.dialogs.exec(&dlg);
}

bool TFGoodsBill::storeEditedLine(bool dropBlank)
{
    if (!lines_->isEditing())
        return true;
    if (dropBlank && (lines_->text(QStringLiteral("MerchandiseID")).trimmed().isEmpty() ||
                      lines_->text(QStringLiteral("MerchandiseName")).trimmed().isEmpty() ||
                      lines_->integer(QStringLiteral("Amount")) == 0)) {
        lines_->cancel();
        recomputeTotal();
        return true;
    }
    try {
        lines_->post();
        return true;
    } catch (const AbortError &) {
        return false;
    }
}

bool TFGoodsBill::save()
{
    TFrMessage confirm(this);
    if (app_.dialogs.exec(&confirm) != QDialog::Accepted)
        return false;
    if (ComboBox2->currentText().trimmed().isEmpty()) {
        app_.dialogs.say(this, kind_.messages.noClerk);
        return false;
    }
    if (passwordFlag_ && !CheckClerkPassword(app_, this, app_.vars.CurClerkID))
        return false;
    if (!storeEditedLine(true))
        return false;
    if (kind_.hasMoney && NumEdit1->text().trimmed().isEmpty()) {
        NumEdit1->setText(QStringLiteral("0.00"));
        Label11->setText(total_.toString(2));
    }

    GoodsBillHeader h;
    h.orderId = Enumber->text().trimmed();
    h.date = QDateTime(DateTimePicker1->date(), app_.clock.now().time());
    h.partnerName = Edit1->text();
    h.storehouseName = ComboBox1->currentText();
    h.clerkId = app_.vars.CurClerkID;
    h.accountName = ComboBox3->currentText();
    h.settled = Money::parse(NumEdit1->text());
    h.open = Money::parse(Label11->text());
    h.resume = Edit4->text();
    Database &db = app_.data.ADOConnection1;
    ResolvedBill bill;
    try {
        bill = resolveGoodsBill(db, kind_, h, lines_->recordCount());
        if (!withinCreditLimit(db, kind_, bill) &&
            !app_.dialogs.confirm(this, QStringLiteral("金额已经超过往来限额，是否继续？"), MsgIcon::Warning))
            return false;
    } catch (const BillRefusal &r) {
        app_.dialogs.say(this, r.message());
        return false;
    }

    CollectedWarnings warnings;
    DBGridEh1->setUpdatesEnabled(false);
    try {
        postGoodsBill(db, kind_, bill, *lines_, &warnings);
    } catch (const store::StockRefusal &r) {
        DBGridEh1->setUpdatesEnabled(true);
        app_.dialogs.warn(this, r.message());
        return false;
    } catch (const DbError &e) {
        DBGridEh1->setUpdatesEnabled(true);
        app_.dialogs.say(this, QStringLiteral("该信息正被其它表单使用或网络出现故障，不能保存。"));
        app_.dialogs.error(this, e.message());
        return false;
    }
    DBGridEh1->setUpdatesEnabled(true);
    for (const QString &w : warnings.texts)
        app_.dialogs.warn(this, w);
    app_.dialogs.say(this, QStringLiteral("单据保存成功。"));
    Enumber->setText(NextOrderID(db, kind_.masterTable));
    passwordFlag_ = false;
    openLines();
    Edit4->clear();
    DBGridEh1->focusField(QStringLiteral("MerchandiseID"));
    return true;
}

void TFGoodsBill::print()
{
    ReportData data;
    bool ok = false;
    const Money settled = Money::parse(NumEdit1->text(), &ok);
    data.set(QStringLiteral("TableID"), Enumber->text());
    data.set(QStringLiteral("TableDate"), DateTimePicker1->date().toString(QStringLiteral("yyyy-MM-dd")));
    data.set(kind_.storehouseVariable, ComboBox1->currentText());
    data.set(QStringLiteral("Client"), Edit1->text());
    data.set(QStringLiteral("Clerk"), ComboBox2->currentText());
    data.set(QStringLiteral("Resume"), Edit4->text());
    data.set(QStringLiteral("Account"), ComboBox3->currentText());
    data.set(QStringLiteral("Cost"), NumEdit1->text());
    data.set(QStringLiteral("TotalCost"), Label11->text());
    data.set(QStringLiteral("BigMoney"), MoneyToChinese(ok ? settled : Money()));
    fillBand(data, QStringLiteral("lines"), *lines_);
    QList<ReportData::Row> &band = data.band(QStringLiteral("lines"));
    for (int r = 0; r < band.size() && r < lines_->recordCount(); ++r)
        for (const auto &[variable, field, yes, no] : kind_.lineTexts)
            band[r].insert(variable, sqlvalue::toBool(lines_->valueAt(r, lines_->fieldIndex(field))) ? yes : no);
    DBGridEh1->setUpdatesEnabled(false);
    PrintReport(app_, this, kind_.reportName, data);
    DBGridEh1->setUpdatesEnabled(true);
}

void TFGoodsBill::exportLines()
{
    if (lines_->isActive())
        ExportToExcel(app_, this, *lines_, DBGridEh1->model()->columnCount());
}

bool TFGoodsBill::confirmClose()
{
    if (!lines_->isEditing())
        return true;
    if (app_.dialogs.confirm(this, QStringLiteral("记录已经被修改，是否确定保存？"), MsgIcon::Warning) && !save())
        return false;
    if (lines_->isEditing())
        lines_->cancel();
    return true;
}

void TFGoodsBill::reject()
{
    if (closing_ || confirmClose()) {
        closing_ = true;
        QDialog::reject();
    }
}

void TFGoodsBill::closeEvent(QCloseEvent *event)
{
    if (!closing_ && !confirmClose()) {
        event->ignore();
        return;
    }
    closing_ = true;
    QDialog::closeEvent(event);
}

void registerGoodsWindows(WindowCatalog &catalog)
{
    catalog.addBill(QStringLiteral("进货单"), [](AppContext &app, QWidget *parent) -> QDialog * {
        return new TFGoods_stock_form(app, parent);
    });
    catalog.addBill(QStringLiteral("销售单"), [](AppContext &app, QWidget *parent) -> QDialog * {
        return new TFGoods_sell(app, parent);
    });
}
