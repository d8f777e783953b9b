#include "commodity.h"

#include "app_context.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "helpers.h"
#include "keys.h"
#include "tfdata.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kSelect = QStringLiteral(
    "SELECT MerchandiseID, MerchandiseName, Unit, Spec, ProducingArea, Rank, Magistral, ConfigName, Remark, "
    "MerchandiseConfigID, MerchandiseTypeID FROM MerchandiseInfo");
const QString kOrder = QStringLiteral(" ORDER BY MerchandiseID");
const QString kSaveFailed = QStringLiteral("网络故障或者该信息正被其它表单使用，不能修改。");
} // namespace

TFSetup_commodity::TFSetup_commodity(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFSetup_commodity"), QStringLiteral("商品资料"), parent)
{
    ADOMerchandise = new DataSet(&app.data.ADOConnection1, this);
    ADOMerchandise->setObjectName(QStringLiteral("ADOMerchandise"));
    ADOMerchandise->setUpdateTable(QStringLiteral("MerchandiseInfo"), {QStringLiteral("MerchandiseID")},
                                   {QStringLiteral("MerchandiseID"), QStringLiteral("MerchandiseTypeID"),
                                    QStringLiteral("MerchandiseName"), QStringLiteral("Unit"), QStringLiteral("Spec"),
                                    QStringLiteral("ProducingArea"), QStringLiteral("Rank"), QStringLiteral("Magistral"),
                                    QStringLiteral("Remark"), QStringLiteral("MerchandiseConfigID")});
    addLineNumbers(*ADOMerchandise);
    ADOMerchandise->beforePost = [this](DataSet &ds) { checkGoods(ds); };
    ADOMerchandise->onNewRecord = [this](DataSet &ds) {
        ds.setValue(QStringLiteral("MerchandiseTypeID"), tree_->currentCode());
        ds.setValue(QStringLiteral("Magistral"), false);
    };

    tree_ = new LevelTree(app,
                          {QStringLiteral("MerchandiseType"), QStringLiteral("MerchandiseTypeID"),
                           QStringLiteral("MerchandiseTypeName"), QStringLiteral("UpMerchandiseTypeID"), 50,
                           QStringLiteral("商品类别"), QStringLiteral("商品类别"), QStringLiteral("类别名称:"),
                           QStringLiteral("商品类别"), QStringLiteral("商品类别名称:"), QStringLiteral("商品类别名称不能相同。"),
                           QStringLiteral("商品编号和商品名称不能为空。"), QStringLiteral("不能删除商品类别。"),
                           QStringLiteral("不能修改商品类别。"),
                           QStringLiteral("删除该商品类别将会把下一级类别和所包含的商品资料一起删除，是否确定删除？"),
                           QStringLiteral("Merchandise"), QStringLiteral("MerchandiseTypeID"), false},
                          this);
    tree_->ask = [this](const QString &caption, const QString &label, const QString &text) {
        return MyInputBox(this->app(), this, caption, label, text);
    };
    tree_->canEdit = [this] { return EditButton->isEnabled(); };
    setSide(tree_);
    connect(tree_, &LevelTree::codeChanged, this, &TFSetup_commodity::listCategory);

    search_ = addSearchBar();
    search_->addText(QStringLiteral("商品编号："));
    search_->addText(QStringLiteral("商品名称："));
    connect(search_, &SearchBar::findClicked, this, &TFSetup_commodity::find);

    requery(*ADOMerchandise, kSelect + QStringLiteral(" WHERE MerchandiseTypeID = :t") + kOrder, {{QStringLiteral("t"), QStringLiteral("")}});
    grid_ = addGrid(QStringLiteral("DBGridEh1"), ADOMerchandise);
    showColumns(*ADOMerchandise, grid_,
                {{QStringLiteral("LineID"), QStringLiteral("行号")},
                 {QStringLiteral("MerchandiseID"), QStringLiteral("商品编号")},
                 {QStringLiteral("MerchandiseName"), QStringLiteral("商品名称")},
                 {QStringLiteral("Unit"), QStringLiteral("单位")},
                 {QStringLiteral("Spec"), QStringLiteral("规格")},
                 {QStringLiteral("ProducingArea"), QStringLiteral("产地")},
                 {QStringLiteral("Rank"), QStringLiteral("等级")},
                 {QStringLiteral("Magistral"), QStringLiteral("主推机型")},
                 {QStringLiteral("ConfigName"), QStringLiteral("配置")},
                 {QStringLiteral("Remark"), QStringLiteral("备注")}});
    ADOMerchandise->field(QStringLiteral("ConfigName")).readOnly = true;
    // A double click means 修改 here, not editing the cell.
    grid_->view()->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    connect(grid_, &DBGrid::cellDoubleClicked, this, [this] { editGoods(); });
    connect(grid_, &DBGrid::postRefused, this, [this] { this->app().dialogs.error(this, kSaveFailed); });
    onGridDelete(grid_, [this] { deleteGoods(); });

    DeleteButton = addButton(QStringLiteral("DeleteButton"), QStringLiteral("删除"), true, [this] { deleteGoods(); });
    AddButton = addButton(QStringLiteral("AddButton"), QStringLiteral("增加"), true, [this] { addGoods(); });
    EditButton = addButton(QStringLiteral("EditButton"), QStringLiteral("修改"), true, [this] { editGoods(); });
    PrintButton = addButton(QStringLiteral("PrintButton"), QStringLiteral("打印"), false, [this] { printList(); });
    ExportButton = addButton(QStringLiteral("ExportButton"), QStringLiteral("导出"), false, [this] { exportList(); });
    keys()->bindCtrl(Qt::Key_P, [this] { printList(); });
    keys()->bindCtrl(Qt::Key_N, [this] { addGoods(); });
    keys()->bindCtrl(Qt::Key_D, [this] { editGoods(); });
    keys()->bindCtrl(Qt::Key_F, [this] { find(); });
    keys()->bindCtrl(Qt::Key_E, [this] { exportList(); });
    keys()->bindDelete([this] { deleteGoods(); });

    tree_->build();
}

TFSetup_commodity::~TFSetup_commodity()
{
    ADOMerchandise->beforePost = nullptr;
    ADOMerchandise->onNewRecord = nullptr;
    disconnect(tree_, nullptr, this, nullptr);
}

void TFSetup_commodity::listCategory(const QString &code)
{
    requery(*ADOMerchandise, kSelect + QStringLiteral(" WHERE MerchandiseTypeID = :t") + kOrder, {{QStringLiteral("t"), code}});
}

void TFSetup_commodity::checkGoods(DataSet &ds)
{
    const QString id = ds.text(QStringLiteral("MerchandiseID"));
    if (id.trimmed().isEmpty()) {
        app().dialogs.say(this, QStringLiteral("请输入商品编号。"));
        throw AbortError();
    }
    if (ds.text(QStringLiteral("MerchandiseName")).trimmed().isEmpty()) {
        app().dialogs.say(this, QStringLiteral("请输入商品名称。"));
        throw AbortError();
    }
    if (ds.state() == DataSet::State::Insert || id != sqlvalue::toString(ds.oldValue(QStringLiteral("MerchandiseID")))) {
        if (!app().data.ADOConnection1
                 .query(QStringLiteral("SELECT MerchandiseID FROM Merchandise WHERE MerchandiseID = :id"), {{QStringLiteral("id"), id}})
                 .isEmpty()) {
            app().dialogs.say(this, QStringLiteral("商品编号不能相同。"));
            throw AbortError();
        }
    }
}

void TFSetup_commodity::addGoods()
{
    if (!AddButton->isEnabled())
        return;
    if (tree_->currentCode().trimmed().isEmpty()) {
        app().dialogs.say(this, QStringLiteral("不能在最高级增加商品资料。"));
        return;
    }
    if (!post(*ADOMerchandise, kSaveFailed))
        return;
    ADOMerchandise->append();
    showDialog();
}

void TFSetup_commodity::editGoods()
{
    if (EditButton->isEnabled())
        editInForm(*ADOMerchandise, kSaveFailed, [this] { addGoods(); }, [this] { showDialog(); });
}

void TFSetup_commodity::showDialog()
{
    {
        TFSetup_add_commodity dlg(app(), *ADOMerchandise, this);
        runForm(*ADOMerchandise, dlg);
    }
    ADOMerchandise->refresh();
}

void TFSetup_commodity::deleteGoods()
{
    if (!DeleteButton->isEnabled())
        return;
    if (removeCurrent(*ADOMerchandise, QString()))
        ADOMerchandise->refresh();
}

void TFSetup_commodity::find()
{
    Conditions c;
    if (search_->ticked(0))
        c.contains(QStringLiteral("MerchandiseID"), search_->text(0));
    if (search_->ticked(1))
        c.contains(QStringLiteral("MerchandiseName"), search_->text(1));
    requery(*ADOMerchandise, kSelect + c.where() + kOrder, c.params(), true);
}

void TFSetup_commodity::printList() { print(QStringLiteral("Setup_commodity"), *ADOMerchandise); }

void TFSetup_commodity::exportList() { ListWindow::exportList(*ADOMerchandise); }

// ---- goods dialog -------------------------------------------------------------------

TFSetup_add_commodity::TFSetup_add_commodity(AppContext &app, DataSet &goods, QWidget *parent)
    : RecordDialog(goods, QStringLiteral("TFSetup_add_commodity"), QStringLiteral("商品资料"), parent)
{
    QList<QPair<QVariant, QString>> configs;
    const RowSet rs = app.data.ADOConnection1.query(
        QStringLiteral("SELECT ConfigID, ConfigName FROM Config WHERE ConfigName <> '' ORDER BY ConfigName"));
    for (int i = 0; i < rs.size(); ++i)
        configs.append({rs.value(i, 0), rs.value(i, 1).toString()});
    addText(QStringLiteral("MerchandiseID"), QStringLiteral("商品编号："));
    addText(QStringLiteral("MerchandiseName"), QStringLiteral("商品名称："));
    addText(QStringLiteral("Unit"), QStringLiteral("单位："));
    addText(QStringLiteral("Spec"), QStringLiteral("规格："));
    addText(QStringLiteral("ProducingArea"), QStringLiteral("产地："));
    addText(QStringLiteral("Rank"), QStringLiteral("等级："));
    addRadios(QStringLiteral("Magistral"), QStringLiteral("主打机型："), QString(),
              {{QStringLiteral("是"), true}, {QStringLiteral("否"), false}});
    addLookup(QStringLiteral("MerchandiseConfigID"), QStringLiteral("配置："), configs);
    addMemo(QStringLiteral("Remark"), QStringLiteral("备注："));
    onInvalid = [&app, this](const QString &text) { app.dialogs.say(this, text); };
    onOk = [&app, &goods, this] {
        if (!store())
            return;
        const bool added = goods.state() == DataSet::State::Insert;
        try {
            goods.post();
        } catch (const AbortError &) {
            return;
        } catch (const DbError &) {
            app.dialogs.error(this, kSaveFailed);
            return;
        }
        if (!added) {
            accept();
            return;
        }
        // Goods are entered one after another in the same category.
        goods.append();
        load();
        editor(QStringLiteral("MerchandiseID"))->setFocus();
    };
    finish();
}
