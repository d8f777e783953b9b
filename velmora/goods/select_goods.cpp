#include "select_goods.h"

#include "app_context.h"
#include "database.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "helpers.h"
#include "keys.h"
#include "pickers_common.h"
#include "tfdata.h"

#include "widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const QString kGoodsColumns = QStringLiteral(
    "M.MerchandiseID, M.MerchandiseName, M.Unit, M.Spec, M.ProducingArea, M.Rank, M.Magistral, M.ConfigName, "
    "M.Remark, COALESCE(T.MerchandiseTypeName,'') AS MerchandiseTypeName");
const QString kTypeJoin = QStringLiteral(" LEFT JOIN MerchandiseType T ON T.MerchandiseTypeID = M.MerchandiseTypeID");
const QString kOrder = QStringLiteral(" ORDER BY M.MerchandiseID");

// The root stands for goods without a type.
QString typeCondition(const QString &typeId, Params &params)
{
    if (typeId.isEmpty())
        return QStringLiteral("COALESCE(M.MerchandiseTypeID,'') = ''");
    params.append({QStringLiteral("type"), typeId});
    return QStringLiteral("M.MerchandiseTypeID = :type");
}


} // namespace

// ---- type tree ------------------------------------------------------------------

GoodsTypeTree::GoodsTypeTree(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("TreeView1"));
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Selection, not the current item: focus entering the tree chooses nothing.
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem *> sel = selectedItems();
        if (!sel.isEmpty())
            emit typeChosen(typeIdOf(sel.first()));
    });
}

QString GoodsTypeTree::typeIdOf(const QTreeWidgetItem *item) { return item ? item->data(0, Qt::UserRole).toString() : QString(); }

void GoodsTypeTree::load(Database &db)
{
    const RowSet rs = db.query(QStringLiteral(
        "SELECT MerchandiseTypeID, MerchandiseTypeName, COALESCE(UpMerchandiseTypeID,'') AS UpID "
        "FROM MerchandiseType ORDER BY MerchandiseTypeID"));
    QHash<QString, QList<int>> children;
    for (int r = 0; r < rs.size(); ++r)
        children[sqlvalue::toString(rs.value(r, 2)).trimmed()].append(r);

    const QSignalBlocker quiet(this);
    clear();
    auto *top = new QTreeWidgetItem(this, {QStringLiteral("商品类别")});
    top->setData(0, Qt::UserRole, QString());
    QSet<QString> placed; // a type listed as its own ancestor is shown once
    std::function<void(QTreeWidgetItem *, const QString &)> addChildren = [&](QTreeWidgetItem *parent, const QString &id) {
        for (int r : children.value(id)) {
            const QString typeId = sqlvalue::toString(rs.value(r, 0)).trimmed();
            if (typeId.isEmpty() || placed.contains(typeId))
                continue;
            placed.insert(typeId);
            auto *item = new QTreeWidgetItem(parent, {sqlvalue::toString(rs.value(r, 1))});
            item->setData(0, Qt::UserRole, typeId);
            addChildren(item, typeId);
        }
    };
    addChildren(top, QString());
    expandAll();
}

QTreeWidgetItem *GoodsTypeTree::findType(const QString &typeId) const
{
    for (QTreeWidgetItemIterator it(const_cast<GoodsTypeTree *>(this)); *it; ++it)
        if (typeIdOf(*it) == typeId)
            return *it;
    return nullptr;
}

// ---- shared base --------------------------------------------------------------

GoodsPickerBase::GoodsPickerBase(AppContext &app, const QString &name, QWidget *parent) : QDialog(parent), app_(app)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("选择商品"));
    query = new DataSet(&app.data.ADOConnection1, this);
    query->setUpdateTable(QStringLiteral("Merchandise"), {QStringLiteral("MerchandiseID")});
    TreeView1 = new GoodsTypeTree(this);
    DBGridEh1 = new DBGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    pickers::setupGrid(DBGridEh1, query);
    CheckBox1 = new QCheckBox(QStringLiteral("商品编号："), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    CheckBox2 = new QCheckBox(QStringLiteral("商品名称："), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    FindButton = makeButton(this, QStringLiteral("FindButton"), QStringLiteral("查找"));
    OkButton = makeButton(this, QStringLiteral("OkButton"), QStringLiteral("确定"));
    CancelButton = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("取消"));

    connect(TreeView1, &GoodsTypeTree::typeChosen, this, [this](const QString &id) { showType(id); });
    connect(FindButton, &QPushButton::clicked, this, [this] { find(); });
    connect(OkButton, &QPushButton::clicked, this, &GoodsPickerBase::choose);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGridEh1->view(), &QAbstractItemView::doubleClicked, this, &GoodsPickerBase::choose);
    pickers::onEnter(DBGridEh1->view(), [this] { choose(); });

    auto *keys = FormKeys::install(this, FormKeys::Defaults);
    keys->bindCtrl(Qt::Key_F, [this] { find(); });
    keys->bindEnter(Edit1, [this] { find(); });
    keys->bindEnter(Edit2, [this] { find(); });
}

void GoodsPickerBase::build(QWidget *extra)
{
    auto *right = new QWidget(this);
    auto *rl = new QVBoxLayout(right);
    rl->setContentsMargins(0, 0, 0, 0);
    if (extra)
        rl->addWidget(extra);
    rl->addWidget(DBGridEh1, 1);
    auto *search = new QHBoxLayout;
    search->addWidget(CheckBox1);
    search->addWidget(Edit1);
    search->addWidget(CheckBox2);
    search->addWidget(Edit2);
    search->addWidget(FindButton);
    search->addStretch();
    search->addWidget(OkButton);
    search->addWidget(CancelButton);
    rl->addLayout(search);

    auto *split = new QSplitter(this);
    split->addWidget(TreeView1);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({180, 600});
    auto *l = new QVBoxLayout(this);
    l->addWidget(split);
    TreeView1->load(app_.data.ADOConnection1);
}

void GoodsPickerBase::showGoodsColumns(bool withAmount)
{
    QList<PickerColumn> columns{{QStringLiteral("MerchandiseID"), QStringLiteral("商品编号")},
                                {QStringLiteral("MerchandiseName"), QStringLiteral("商品名称")},
                                {QStringLiteral("Unit"), QStringLiteral("单位")},
                                {QStringLiteral("Spec"), QStringLiteral("规格")},
                                {QStringLiteral("ProducingArea"), QStringLiteral("产地")},
                                {QStringLiteral("Rank"), QStringLiteral("等级")},
                                {QStringLiteral("Magistral"), QStringLiteral("主推机型")},
                                {QStringLiteral("ConfigName"), QStringLiteral("配置")},
                                {QStringLiteral("Remark"), QStringLiteral("备注")}};
    if (withAmount)
        columns.append({QStringLiteral("StockAmount"), QStringLiteral("数量")});
    pickers::showColumns(DBGridEh1, columns);
}

QStringList GoodsPickerBase::searchConditions(const QString &alias)
{
    QStringList out;
    if (CheckBox1->isChecked()) {
        out << alias + QStringLiteral(".MerchandiseID LIKE :id ESCAPE '\\'");
        query->setParam(QStringLiteral("id"), pickers::containsPattern(Edit1->text()));
    }
    if (CheckBox2->isChecked()) {
        out << alias + QStringLiteral(".MerchandiseName LIKE :name ESCAPE '\\'");
        query->setParam(QStringLiteral("name"), pickers::containsPattern(Edit2->text()));
    }
    return out;
}

QString GoodsPickerBase::goodsId() const
{
    return query->recNo() < 0 ? QString() : pickers::keyText(query->value(QStringLiteral("MerchandiseID")));
}

void GoodsPickerBase::choose()
{
    if (goodsId().isEmpty())
        return; // nothing listed: nothing to choose
    app_.vars.SelMerchandiseID = goodsId();
    app_.vars.SelMerchandiseName = query->text(QStringLiteral("MerchandiseName"));
    app_.vars.SelMerchandiseTypeName = query->text(QStringLiteral("MerchandiseTypeName"));
    accept();
}

// ---- catalogue ----------------------------------------------------------------

TFSelect_commodity::TFSelect_commodity(AppContext &app, QWidget *parent)
    : GoodsPickerBase(app, QStringLiteral("TFSelect_commodity"), parent)
{
    resize(767, 326);
    build(nullptr);
    run({});
    showGoodsColumns(false);
    pickers::syncView(DBGridEh1);
}

void TFSelect_commodity::run(const QString &where)
{
    query->setSql(QStringLiteral("SELECT ") + kGoodsColumns + QStringLiteral(" FROM MerchandiseInfo M") + kTypeJoin +
                  where + kOrder);
    query->open();
    pickers::syncView(DBGridEh1);
}

void TFSelect_commodity::showType(const QString &typeId)
{
    Params params;
    const QString condition = typeCondition(typeId, params);
    query->clearParams();
    for (const Param &p : params)
        query->setParam(p.name, p.value);
    run(QStringLiteral(" WHERE ") + condition);
}

void TFSelect_commodity::find()
{
    query->clearParams();
    const QStringList conditions = searchConditions(QStringLiteral("M"));
    run(conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND ")));
    if (query->isEmpty())
        app_.dialogs.inform(this, QStringLiteral("没有符合条件的记录。"));
}

// ---- stock --------------------------------------------------------------------

TFSelect_Stock_commodity::TFSelect_Stock_commodity(AppContext &app, const QString &storehouseName, QWidget *parent)
    : GoodsPickerBase(app, QStringLiteral("TFSelect_Stock_commodity"), parent)
{
    resize(804, 404);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    FillStorehouseCombo(app.data, ComboBox1);
    // A warehouse that is not listed selects none, so nothing is shown.
    ComboBox1->setCurrentIndex(ComboBox1->findText(storehouseName));
    auto *top = new QWidget(this);
    auto *tl = new QHBoxLayout(top);
    tl->setContentsMargins(0, 0, 0, 0);
    tl->addWidget(new QLabel(QStringLiteral("仓库名称："), top));
    tl->addWidget(ComboBox1);
    tl->addStretch();
    build(top);
    rerun();
    showGoodsColumns(true);
    pickers::syncView(DBGridEh1);
    // Another warehouse shows the same view of its own stock.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { rerun(); });
}

void TFSelect_Stock_commodity::run(const QString &where)
{
    query->setParam(QStringLiteral("store"), ComboBox1->currentText());
    query->setSql(QStringLiteral("SELECT ") + kGoodsColumns +
                  QStringLiteral(", SM.StockAmount FROM StockMaster SM "
                                 "JOIN MerchandiseInfo M ON SM.MerchandiseID = M.MerchandiseID "
                                 "JOIN Storehouse Sh ON SM.StorehouseID = Sh.StorehouseID") +
                  kTypeJoin + QStringLiteral(" WHERE Sh.StorehouseName = :store") + where + kOrder);
    query->open();
}

void TFSelect_Stock_commodity::rerun()
{
    query->clearParams();
    if (shown_ == Shown::Type) {
        Params params;
        const QString condition = typeCondition(typeId_, params);
        for (const Param &p : params)
            query->setParam(p.name, p.value);
        run(QStringLiteral(" AND ") + condition);
    } else if (shown_ == Shown::Search) {
        const QStringList conditions = searchConditions(QStringLiteral("M"));
        run(conditions.isEmpty() ? QString() : QStringLiteral(" AND ") + conditions.join(QStringLiteral(" AND ")));
    } else {
        run({});
    }
}

void TFSelect_Stock_commodity::showType(const QString &typeId)
{
    shown_ = Shown::Type;
    typeId_ = typeId;
    rerun();
}

void TFSelect_Stock_commodity::find()
{
    shown_ = Shown::Search;
    rerun(); // no message when nothing is found here
}

// ---- calls ----------------------------------------------------------------------

bool PickGoods(AppContext &app, QWidget *parent)
{
    TFSelect_commodity dlg(app, parent);
    return app.dialogs.exec(&dlg) == QDialog::Accepted;
}

bool PickStockGoods(AppContext &app, QWidget *parent, const QString &storehouseName)
{
    TFSelect_Stock_commodity dlg(app, storehouseName, parent);
    return app.dialogs.exec(&dlg) == QDialog::Accepted;
}
