#include "simple_lists.h"

#include "app_context.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "keys.h"
#include "tfdata.h"

namespace {
const QString kSaveFailed = QStringLiteral("保存失败，请检查。");

DataSet *table(ListWindow *w, const QString &name)
{
    auto *ds = new DataSet(&w->app().data.ADOConnection1, w);
    ds->setObjectName(name);
    ds->setUpdateTable(name, {});
    return ds;
}
} // namespace

// ---- warehouses -----------------------------------------------------------------------

TFStorehouse::TFStorehouse(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFStorehouse"), QStringLiteral("仓库资料"), parent), Storehouse(table(this, QStringLiteral("Storehouse")))
{
    // A row without a name is dropped, not saved and not complained about.
    Storehouse->beforePost = [](DataSet &ds) {
        if (ds.text(QStringLiteral("StorehouseName")).trimmed().isEmpty()) {
            ds.cancel();
            throw AbortError();
        }
    };
    requery(*Storehouse, QStringLiteral("SELECT * FROM Storehouse ORDER BY StorehouseID"), {});
    grid_ = addGrid(QStringLiteral("DBGridEh1"), Storehouse);
    showColumns(*Storehouse, grid_, {{QStringLiteral("StorehouseName"), QStringLiteral("仓库名称")}});
    editInGrid(grid_, {QStringLiteral("StorehouseName"), kSaveFailed, QString(), {}, {}});
    addDeleteAddSaveButtons();
}

// ---- colours and configurations ---------------------------------------------------------

TFColor_Config::TFColor_Config(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFColor_Config"), QStringLiteral("颜色/设置"), parent), Color(table(this, QStringLiteral("Color"))),
      Config(table(this, QStringLiteral("Config")))
{
    requery(*Color, QStringLiteral("SELECT * FROM Color WHERE ColorName <> '' ORDER BY ColorID"), {});
    requery(*Config, QStringLiteral("SELECT * FROM Config WHERE ConfigName <> '' ORDER BY ConfigID"), {});
    colorGrid_ = addGrid(QStringLiteral("DBGridEh1"), Color);
    configGrid_ = addGrid(QStringLiteral("DBGridEh2"), Config);
    showColumns(*Color, colorGrid_, {{QStringLiteral("ColorName"), QStringLiteral("颜色")}});
    showColumns(*Config, configGrid_, {{QStringLiteral("ConfigName"), QStringLiteral("配置")}});
    editInGrid(colorGrid_,
               {QStringLiteral("ColorName"), QStringLiteral("网络故障或者该信息正被其它表单使用，不能保存。"), QString(), {}, {}});
    editInGrid(configGrid_, {QStringLiteral("ConfigName"), kSaveFailed, QString(), {}, {}});
    addDeleteAddSaveButtons();
}

// ---- fund accounts ------------------------------------------------------------------------

TFSetup_cash_bank::TFSetup_cash_bank(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFSetup_cash_bank"), QStringLiteral("资金帐户期初"), parent),
      CostAccount(table(this, QStringLiteral("CostAccount")))
{
    CostAccount->beforePost = [this](DataSet &ds) {
        if (ds.text(QStringLiteral("AccountName")).trimmed().isEmpty()) {
            this->app().dialogs.say(this, QStringLiteral("请输入资金帐户。"));
            throw AbortError();
        }
        if (ds.state() == DataSet::State::Edit && isUsed(ds.oldValue(QStringLiteral("AccountID")))) {
            this->app().dialogs.say(this, QStringLiteral("系统已经有单据过帐，不能再修改资金帐户数据。"));
            throw AbortError();
        }
        ds.setValue(QStringLiteral("FactCost"), QVariant::fromValue(ds.money(QStringLiteral("Cost"))));
    };
    requery(*CostAccount, QStringLiteral("SELECT * FROM CostAccount ORDER BY AccountID"), {});
    grid_ = addGrid(QStringLiteral("DBGridEh1"), CostAccount);
    showColumns(*CostAccount, grid_,
                {{QStringLiteral("AccountName"), QStringLiteral("资金帐户")},
                 {QStringLiteral("Cost"), QStringLiteral("期初金额")},
                 {QStringLiteral("Remark"), QStringLiteral("备注")}});
    editInGrid(grid_, {QStringLiteral("AccountName"), kSaveFailed, QString(),
                       [this] {
                           if (!isUsed(CostAccount->value(QStringLiteral("AccountID"))))
                               return true;
                           this->app().dialogs.say(this, QStringLiteral("系统已经有单据过帐，不能删除资金帐户数据。"));
                           return false;
                       },
                       {}});
    addDeleteAddSaveButtons();
}

TFSetup_cash_bank::~TFSetup_cash_bank() { CostAccount->beforePost = nullptr; }

bool TFSetup_cash_bank::isUsed(const QVariant &accountId) const
{
    QStringList parts;
    for (const char *t : {"BuyMaster", "BuyReturnMaster", "SellMaster", "SellReturnMaster"})
        parts << QStringLiteral("SELECT AccountID FROM %1 WHERE AccountID = :id").arg(QLatin1String(t));
    return !app().data.ADOConnection1.query(parts.join(QStringLiteral(" UNION ")), {{QStringLiteral("id"), accountId}}).isEmpty();
}

// ---- income and expense items ----------------------------------------------------------------

TFSetup_earning_payout::TFSetup_earning_payout(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFSetup_earning_payout"), QStringLiteral("收支项目设置"), parent),
      CostItem(table(this, QStringLiteral("CostItem")))
{
    CostItem->onNewRecord = [this](DataSet &ds) { ds.setValue(QStringLiteral("ItemTypeID"), kind_ == 1); };
    CostItem->beforePost = [this](DataSet &ds) {
        if (ds.text(QStringLiteral("ItemName")).trimmed().isEmpty()) {
            this->app().dialogs.say(this, QStringLiteral("请输入项目名称。"));
            throw AbortError();
        }
    };
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setHeaderHidden(true);
    new QTreeWidgetItem(tree_, {QStringLiteral("收入项目")});
    new QTreeWidgetItem(tree_, {QStringLiteral("支出项目")});
    setSide(tree_);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *cur) {
        if (cur)
            selectKind(tree_->indexOfTopLevelItem(cur) == 0 ? 0 : 1);
    });
    search_ = addSearchBar();
    search_->addText(QStringLiteral("项目名称："));
    connect(search_, &SearchBar::findClicked, this, &TFSetup_earning_payout::find);
    keys()->bindCtrl(Qt::Key_F, [this] { find(); });

    selectKind(1); // expense items until a node is chosen
    grid_ = addGrid(QStringLiteral("DBGridEh1"), CostItem);
    showColumns(*CostItem, grid_, {{QStringLiteral("ItemName"), QStringLiteral("收入/支出项目")}, {QStringLiteral("Remark"), QStringLiteral("备注")}});
    editInGrid(grid_, {QStringLiteral("ItemName"), kSaveFailed, QString(), {}, {}});
    addDeleteAddSaveButtons();
}

TFSetup_earning_payout::~TFSetup_earning_payout()
{
    CostItem->onNewRecord = nullptr;
    CostItem->beforePost = nullptr;
    disconnect(tree_, nullptr, this, nullptr);
}

void TFSetup_earning_payout::selectKind(int kind)
{
    kind_ = kind;
    requery(*CostItem, QStringLiteral("SELECT * FROM CostItem WHERE ItemTypeID = :k ORDER BY ItemID"), {{QStringLiteral("k"), kind}});
}

void TFSetup_earning_payout::find()
{
    Conditions c;
    if (search_->ticked(0))
        c.contains(QStringLiteral("ItemName"), search_->text(0));
    requery(*CostItem, QStringLiteral("SELECT * FROM CostItem") + c.where() + QStringLiteral(" ORDER BY ItemID"), c.params(), true);
}
