#include "corporation.h"

#include "app_context.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "keys.h"
#include "tfdata.h"

#include <QPushButton>

namespace {
const QString kSelect = QStringLiteral("SELECT * FROM Client");
const QString kOrder = QStringLiteral(" ORDER BY ClientID");
const QString kSaveFailed = QStringLiteral("保存失败，请检查。");
const QString kKinds[] = {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")};
} // namespace

bool TFSetup_corporation::isSystemPartner(const QString &clientId)
{
    return clientId == QLatin1String("1000") || clientId == QLatin1String("2000") || clientId == QLatin1String("3000");
}

TFSetup_corporation::TFSetup_corporation(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFSetup_corporation"), QStringLiteral("往来单位"), parent), kind_(QStringLiteral(""))
{
    Client = new DataSet(&app.data.ADOConnection1, this);
    Client->setObjectName(QStringLiteral("Client"));
    Client->setUpdateTable(QStringLiteral("Client"), {QStringLiteral("ClientID")});
    addLineNumbers(*Client);
    Client->beforePost = [this](DataSet &ds) { checkClient(ds); };
    Client->onNewRecord = [this](DataSet &ds) {
        ds.setValue(QStringLiteral("ClientTypeID"), kind_);
        // A new partner starts with no balance: payable for a supplier, receivable otherwise.
        ds.setValue(QStringLiteral("CostType"), kind_ != QLatin1String("01"));
        for (const char *f : {"Cost", "FactCost", "ClientUpper"})
            ds.setValue(QString::fromLatin1(f), QVariant::fromValue(Money()));
    };
    // Number and name of a system partner stay as they are.
    Client->onFieldChanged = [this](DataSet &ds, const QString &field) {
        if ((field == QLatin1String("ClientID") || field == QLatin1String("ClientName")) && ds.isRowStored(ds.recNo()) &&
            isSystemPartner(sqlvalue::toString(ds.oldValue(QStringLiteral("ClientID"))))) {
            ds.setValue(field, ds.oldValue(field));
            this->app().dialogs.say(this, QStringLiteral("系统默认的单位不能修改单位编号和单位名称。"));
        }
    };

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setHeaderHidden(true);
    for (const QString &name : {QStringLiteral("供应商"), QStringLiteral("客户"), QStringLiteral("其它单位")})
        new QTreeWidgetItem(tree_, {name});
    setSide(tree_);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *cur) { selectKind(cur ? tree_->indexOfTopLevelItem(cur) : -1); });

    search_ = addSearchBar();
    search_->addText(QStringLiteral("单位编号："));
    search_->addText(QStringLiteral("单位名称："));
    connect(search_, &SearchBar::findClicked, this, &TFSetup_corporation::find);

    requery(*Client, kSelect + kOrder, {});
    grid_ = addGrid(QStringLiteral("DBGridEh1"), Client);
    showColumns(*Client, grid_,
                {{QStringLiteral("LineID"), QStringLiteral("行号")},
                 {QStringLiteral("ClientID"), QStringLiteral("单位编号")},
                 {QStringLiteral("ClientName"), QStringLiteral("单位名称")},
                 {QStringLiteral("Phone"), QStringLiteral("电话")},
                 {QStringLiteral("Fax"), QStringLiteral("传真")},
                 {QStringLiteral("LinkMan"), QStringLiteral("联系人")},
                 {QStringLiteral("LinkPhone"), QStringLiteral("联系人电话")}});
    editInGrid(grid_, {QStringLiteral("ClientID"), kSaveFailed, QString(),
                       [this] {
                           if (!isSystemPartner(Client->text(QStringLiteral("ClientID"))))
                               return true;
                           this->app().dialogs.say(this, QStringLiteral("该单位不能删除。"));
                           return false;
                       },
                       {}});
    grid_->view()->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    connect(grid_, &DBGrid::cellDoubleClicked, this, [this] { editClient(); });

    DeleteButton = addButton(QStringLiteral("DeleteButton"), QStringLiteral("删除"), true, [this] { deleteClient(); });
    EditButton = addButton(QStringLiteral("EditButton"), QStringLiteral("修改"), true, [this] { editClient(); });
    AddButton = addButton(QStringLiteral("AddButton"), QStringLiteral("增加"), true, [this] { addClient(); });
    PrintButton = addButton(QStringLiteral("PrintButton"), QStringLiteral("打印"), false,
                            [this] { print(QStringLiteral("Setup_corporation"), *Client); });
    ExportButton = addButton(QStringLiteral("ExportButton"), QStringLiteral("导出"), false, [this] { exportList(*Client); });
    keys()->bindCtrl(Qt::Key_P, [this] { PrintButton->click(); });
    keys()->bindCtrl(Qt::Key_D, [this] { editClient(); });
    keys()->bindCtrl(Qt::Key_F, [this] { find(); });
    keys()->bindCtrl(Qt::Key_E, [this] { ExportButton->click(); });
    keys()->bindCtrl(Qt::Key_N, [this] { addClient(); });
    keys()->bindDelete([this] { deleteClient(); });
}

TFSetup_corporation::~TFSetup_corporation()
{
    Client->beforePost = nullptr;
    Client->onNewRecord = nullptr;
    Client->onFieldChanged = nullptr;
    disconnect(tree_, nullptr, this, nullptr);
}

void TFSetup_corporation::selectKind(int node)
{
    if (node < 0)
        return;
    kind_ = kKinds[std::min(node, 2)];
    requery(*Client, kSelect + QStringLiteral(" WHERE ClientTypeID = :k") + kOrder, {{QStringLiteral("k"), kind_}});
}

void TFSetup_corporation::checkClient(DataSet &ds)
{
    const QString id = ds.text(QStringLiteral("ClientID"));
    if (id.trimmed().isEmpty()) {
        app().dialogs.say(this, QStringLiteral("请输入单位编号。"));
        throw AbortError();
    }
    if (ds.text(QStringLiteral("ClientName")).trimmed().isEmpty()) {
        app().dialogs.say(this, QStringLiteral("请输入单位名称。"));
        throw AbortError();
    }
    if (ds.state() == DataSet::State::Insert || id != sqlvalue::toString(ds.oldValue(QStringLiteral("ClientID")))) {
        if (!app().data.ADOConnection1
                 .query(QStringLiteral("SELECT ClientID FROM Client WHERE ClientID = :id"), {{QStringLiteral("id"), id}})
                 .isEmpty()) {
            app().dialogs.say(this, QStringLiteral("单位编号不能相同。"));
            throw AbortError();
        }
    }
}

void TFSetup_corporation::addClient()
{
    if (!AddButton->isEnabled() || !post(*Client, kSaveFailed))
        return;
    Client->append();
    showDialog();
}

void TFSetup_corporation::editClient()
{
    if (EditButton->isEnabled())
        editInForm(*Client, kSaveFailed, [this] { addClient(); }, [this] { showDialog(); });
}

void TFSetup_corporation::showDialog()
{
    TFSetup_add_corporation dlg(app(), *Client, this);
    runForm(*Client, dlg);
}

void TFSetup_corporation::deleteClient()
{
    if (DeleteButton->isEnabled())
        deleteRow(grid_);
}

void TFSetup_corporation::find()
{
    Conditions c;
    if (search_->ticked(0))
        c.contains(QStringLiteral("ClientID"), search_->text(0));
    if (search_->ticked(1))
        c.contains(QStringLiteral("ClientName"), search_->text(1));
    requery(*Client, kSelect + c.where() + kOrder, c.params(), true);
}

// ---- partner dialog -------------------------------------------------------------------

TFSetup_add_corporation::TFSetup_add_corporation(AppContext &app, DataSet &clients, QWidget *parent)
    : RecordDialog(clients, QStringLiteral("TFSetup_add_corporation"), QStringLiteral("往来单位"), parent)
{
    const struct {
        const char *field, *label;
    } fields[] = {{"ClientID", "单位编号："}, {"ClientName", "单位名称："}, {"Address", "地址："},
                  {"Phone", "电话："},       {"Fax", "传真："},           {"LinkMan", "联系人："},
                  {"LinkPhone", "联系人电话："}, {"Http", "网址："},        {"Email", "Email："},
                  {"TaxAccount", "税号："},  {"BankAccount", "开户帐号："}, {"Bank", "开户银行："}};
    for (const auto &f : fields)
        addText(QString::fromLatin1(f.field), QString::fromUtf8(f.label));
    addMemo(QStringLiteral("Remark"), QStringLiteral("备注："));
    const bool system = clients.isRowStored(clients.recNo()) &&
                        TFSetup_corporation::isSystemPartner(sqlvalue::toString(clients.oldValue(QStringLiteral("ClientID"))));
    setReadOnly(QStringLiteral("ClientID"), system);
    setReadOnly(QStringLiteral("ClientName"), system);
    onInvalid = [&app, this](const QString &text) { app.dialogs.say(this, text); };
    onOk = [&app, &clients, this] {
        if (!store())
            return;
        try {
            clients.post();
        } catch (const AbortError &) {
            return;
        } catch (const DbError &) {
            app.dialogs.error(this, kSaveFailed);
            return;
        }
        accept();
    };
    finish();
}
