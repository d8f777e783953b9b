#include "receivables.h"

#include "app_context.h"
#include "corporation.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "keys.h"
#include "tfdata.h"

#include <QPushButton>

namespace {
const QString kSelect = QStringLiteral("SELECT * FROM Client");
const QString kOrder = QStringLiteral(" ORDER BY ClientID");
} // namespace

TFSetup_receivables_deal::TFSetup_receivables_deal(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFSetup_receivables_deal"), QStringLiteral("应收应付期初"), parent)
{
    Client = new DataSet(&app.data.ADOConnection1, this);
    Client->setObjectName(QStringLiteral("Client"));
    Client->setUpdateTable(QStringLiteral("Client"), {QStringLiteral("ClientID")});
    addLineNumbers(*Client);

    search_ = addSearchBar();
    search_->addText(QStringLiteral("单位编号："));
    search_->addText(QStringLiteral("单位名称："));
    connect(search_, &SearchBar::findClicked, this, &TFSetup_receivables_deal::find);

    requery(*Client, kSelect + kOrder, {});
    // Balances change only through 期初, which checks the bills first.
    grid_ = addGrid(QStringLiteral("DBGridEh1"), Client, false);
    showColumns(*Client, grid_,
                {{QStringLiteral("LineID"), QStringLiteral("行号")},
                 {QStringLiteral("ClientID"), QStringLiteral("单位编号")},
                 {QStringLiteral("ClientName"), QStringLiteral("单位名称")},
                 {QStringLiteral("CostType"), QStringLiteral("金额类别")},
                 {QStringLiteral("Cost"), QStringLiteral("期初金额")},
                 {QStringLiteral("Remark"), QStringLiteral("备注")}});
    Client->field(QStringLiteral("CostType")).displayFormat = QStringLiteral("应收;应付");
    onGridAppend(grid_, [this] { this->app().dialogs.say(this, QStringLiteral("请到往来单位中增加单位。")); });
    onGridDelete(grid_, [this] { this->app().dialogs.say(this, QStringLiteral("请到往来单位中删除单位")); });
    connect(grid_, &DBGrid::cellDoubleClicked, this, [this] { opening(); });

    OpeningButton = addButton(QStringLiteral("OpeningButton"), QStringLiteral("期初"), true, [this] { opening(); });
    keys()->bindCtrl(Qt::Key_D, [this] { opening(); });
    keys()->bindCtrl(Qt::Key_F, [this] { find(); });
}

bool TFSetup_receivables_deal::isUsed(const QString &clientId) const
{
    QStringList parts;
    for (const char *t : {"BuyMaster", "BuyReturnMaster", "SellMaster", "SellReturnMaster", "GainMaster", "LargessMaster",
                          "GatheringMaster", "PaymentMaster"})
        parts << QStringLiteral("SELECT ClientID FROM %1 WHERE ClientID = :id").arg(QLatin1String(t));
    return !app().data.ADOConnection1.query(parts.join(QStringLiteral(" UNION ")), {{QStringLiteral("id"), clientId}}).isEmpty();
}

void TFSetup_receivables_deal::opening()
{
    if (!OpeningButton->isEnabled())
        return;
    if (Client->recNo() < 0) {
        app().dialogs.say(this, QStringLiteral("请选择单位名称。"));
        return;
    }
    const QString id = Client->text(QStringLiteral("ClientID"));
    if (TFSetup_corporation::isSystemPartner(id)) {
        app().dialogs.say(this, QStringLiteral("系统默认的单位不能进行期初。"));
        return;
    }
    if (isUsed(id)) {
        app().dialogs.say(this, QStringLiteral("系统已经有单据过帐，不能再修改期初数据。"));
        return;
    }
    Client->edit();
    {
        TFSetup_add_receivables_deal dlg(app(), *Client, this);
        app().dialogs.exec(&dlg);
    }
    if (Client->isEditing())
        Client->cancel();
    Client->refresh();
}

void TFSetup_receivables_deal::find()
{
    Conditions c;
    if (search_->ticked(0))
        c.contains(QStringLiteral("ClientID"), search_->text(0));
    if (search_->ticked(1))
        c.contains(QStringLiteral("ClientName"), search_->text(1));
    requery(*Client, kSelect + c.where() + kOrder, c.params(), true);
}

// ---- opening balance dialog ----------------------------------------------------------------

TFSetup_add_receivables_deal::TFSetup_add_receivables_deal(AppContext &app, DataSet &clients, QWidget *parent)
    : RecordDialog(clients, QStringLiteral("TFSetup_add_receivables_deal"), QStringLiteral("应收应付期初"), parent)
{
    addText(QStringLiteral("ClientName"), QStringLiteral("单位名称："));
    setReadOnly(QStringLiteral("ClientName"), true);
    addRadios(QStringLiteral("CostType"), QString(), QStringLiteral("期初设置"),
              {{QStringLiteral("应收款"), true}, {QStringLiteral("应付款"), false}});
    addText(QStringLiteral("Cost"), QStringLiteral("期初金额："));
    addMemo(QStringLiteral("Remark"), QStringLiteral("备注："));
    onInvalid = [&app, this](const QString &text) { app.dialogs.say(this, text); };
    onOk = [&app, &clients, this] {
        if (!store())
            return;
        // The current balance starts again from the opening amount.
        clients.setValue(QStringLiteral("FactCost"), QVariant::fromValue(clients.money(QStringLiteral("Cost"))));
        try {
            clients.post();
        } catch (const AbortError &) {
            return;
        } catch (const DbError &) {
            app.dialogs.error(this, QStringLiteral("保存失败，请检查。"));
            return;
        }
        accept();
    };
    finish();
}
