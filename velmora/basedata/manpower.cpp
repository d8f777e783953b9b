#include "manpower.h"

#include "app_context.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "helpers.h"
#include "keys.h"
#include "tfdata.h"

#include <QComboBox>
#include <QPushButton>

namespace {
const QString kSelect = QStringLiteral("SELECT CK.*, Af.AffairName FROM Clerk CK LEFT JOIN Affair Af ON CK.AffairID = Af.AffairID");
const QString kOrder = QStringLiteral(" ORDER BY CK.ClerkID");
const QString kSaveFailed = QStringLiteral("网络故障或者该信息正被其它表单使用，不能修改。");

QStringList column(Database &db, const QString &sql)
{
    QStringList out;
    const RowSet rs = db.query(sql);
    for (int i = 0; i < rs.size(); ++i)
        out << rs.value(i, 0).toString();
    return out;
}
} // namespace

TFSetup_manpower::TFSetup_manpower(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFSetup_manpower"), QStringLiteral("员工资料"), parent)
{
    Clerk = new DataSet(&app.data.ADOConnection1, this);
    Clerk->setObjectName(QStringLiteral("Clerk"));
    Clerk->setUpdateTable(QStringLiteral("Clerk"), {QStringLiteral("ClerkID")});
    addLineNumbers(*Clerk);
    Clerk->beforePost = [this](DataSet &ds) { checkClerk(ds); };
    Clerk->onNewRecord = [this](DataSet &ds) {
        ds.setValue(QStringLiteral("DepartID"), tree_->currentCode());
        ds.setValue(QStringLiteral("Sex"), QStringLiteral("女"));
    };
    // The grid shows the duty by name and stores its number.
    Clerk->onFieldChanged = [](DataSet &ds, const QString &field) {
        if (field != QLatin1String("AffairName"))
            return;
        const QVariant id = ds.database()->scalar(QStringLiteral("SELECT AffairID FROM Affair WHERE AffairName = :n"),
                                                  {{QStringLiteral("n"), ds.text(QStringLiteral("AffairName"))}});
        ds.setValue(QStringLiteral("AffairID"), id);
        if (!id.isValid())
            ds.setValue(QStringLiteral("AffairName"), QVariant());
    };

    tree_ = new LevelTree(app,
                          {QStringLiteral("CompanyConstruction"), QStringLiteral("DepartID"), QStringLiteral("DepartName"),
                           QStringLiteral("UpDepartID"), 15, QStringLiteral("部门"), QStringLiteral("部门"),
                           QStringLiteral("部门："), QStringLiteral("部门"), QStringLiteral("部门:"),
                           QStringLiteral("部门类别名称不能相同。"), QStringLiteral("保存失败，请检查。"),
                           QStringLiteral("不能删除部门。"), QStringLiteral("不能修改部门。"),
                           QStringLiteral("删除该部门类别将会把下一级类别和所包含的员工资料一起删除，是否确定删除？"),
                           QStringLiteral("Clerk"), QStringLiteral("DepartID"), true},
                          this);
    tree_->ask = [this](const QString &caption, const QString &label, const QString &text) {
        return MyInputBox(this->app(), this, caption, label, text);
    };
    tree_->canEdit = [this] { return EditButton->isEnabled(); };
    setSide(tree_);
    connect(tree_, &LevelTree::codeChanged, this, &TFSetup_manpower::listDepartment);
    connect(tree_, &LevelTree::edited, this, &TFSetup_manpower::fillChoices);

    search_ = addSearchBar();
    search_->addText(QStringLiteral("员工代号："));
    search_->addText(QStringLiteral("员工姓名："));
    search_->addChoice(QStringLiteral("性别："), {QStringLiteral("男"), QStringLiteral("女")});
    search_->addChoice(QStringLiteral("部门："), {}, true);
    search_->addChoice(QStringLiteral("职务："), {}, true);
    connect(search_, &SearchBar::findClicked, this, &TFSetup_manpower::find);

    requery(*Clerk, kSelect + kOrder, {});
    grid_ = addGrid(QStringLiteral("DBGridEh1"), Clerk);
    showColumns(*Clerk, grid_,
                {{QStringLiteral("LineID"), QStringLiteral("行号")},
                 {QStringLiteral("ClerkID"), QStringLiteral("员工代号")},
                 {QStringLiteral("ClerkName"), QStringLiteral("员工姓名")},
                 {QStringLiteral("Sex"), QStringLiteral("性别")},
                 {QStringLiteral("Birth"), QStringLiteral("出生年月")},
                 {QStringLiteral("Phone"), QStringLiteral("联系电话")},
                 {QStringLiteral("AffairName"), QStringLiteral("职务")}});
    Clerk->field(QStringLiteral("Birth")).displayFormat = QStringLiteral("yyyy-MM-dd");
    grid_->setPickList(QStringLiteral("Sex"), {QStringLiteral("男"), QStringLiteral("女")});
    editInGrid(grid_, {QStringLiteral("ClerkID"), kSaveFailed, QString(), {}, [this] { return mayAppend(); }});
    grid_->view()->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    connect(grid_, &DBGrid::cellDoubleClicked, this, [this] { editClerk(); });

    EditButton = addButton(QStringLiteral("EditButton"), QStringLiteral("修改"), true, [this] { editClerk(); });
    DeleteButton = addButton(QStringLiteral("DeleteButton"), QStringLiteral("删除"), true, [this] { deleteClerk(); });
    AddButton = addButton(QStringLiteral("AddButton"), QStringLiteral("增加"), true, [this] { addClerk(); });
    PrintButton = addButton(QStringLiteral("PrintButton"), QStringLiteral("打印"), false,
                            [this] { print(QStringLiteral("Setup_manpower"), *Clerk); });
    ExportButton = addButton(QStringLiteral("ExportButton"), QStringLiteral("导出"), false, [this] { exportList(*Clerk); });
    keys()->bindCtrl(Qt::Key_P, [this] { PrintButton->click(); });
    keys()->bindCtrl(Qt::Key_F, [this] { find(); });
    keys()->bindCtrl(Qt::Key_E, [this] { ExportButton->click(); });
    keys()->bindCtrl(Qt::Key_D, [this] { editClerk(); });
    keys()->bindCtrl(Qt::Key_N, [this] { addClerk(); });
    keys()->bindDelete([this] { deleteClerk(); });

    tree_->build();
    fillChoices();
}

TFSetup_manpower::~TFSetup_manpower()
{
    Clerk->beforePost = nullptr;
    Clerk->onNewRecord = nullptr;
    Clerk->onFieldChanged = nullptr;
    disconnect(tree_, nullptr, this, nullptr);
}

void TFSetup_manpower::fillChoices()
{
    Database &db = app().data.ADOConnection1;
    search_->setItems(3, column(db, QStringLiteral("SELECT DepartName FROM CompanyConstruction ORDER BY DepartID")));
    const QStringList duties = column(db, QStringLiteral("SELECT AffairName FROM Affair ORDER BY AffairID"));
    search_->setItems(4, duties);
    grid_->setPickList(QStringLiteral("AffairName"), duties);
}

void TFSetup_manpower::listDepartment(const QString &code)
{
    requery(*Clerk, kSelect + QStringLiteral(" WHERE CK.DepartID = :d") + kOrder, {{QStringLiteral("d"), code}});
}

bool TFSetup_manpower::mayAppend()
{
    if (!tree_->currentCode().trimmed().isEmpty())
        return true;
    app().dialogs.say(this, QStringLiteral("不能在最高级增加员工资料。"));
    return false;
}

void TFSetup_manpower::checkClerk(DataSet &ds)
{
    const QString id = ds.text(QStringLiteral("ClerkID"));
    if (id.trimmed().isEmpty()) {
        app().dialogs.say(this, QStringLiteral("请输入员工代号。"));
        throw AbortError();
    }
    if (ds.text(QStringLiteral("ClerkName")).trimmed().isEmpty()) {
        app().dialogs.say(this, QStringLiteral("请输入员工姓名。"));
        throw AbortError();
    }
    if (ds.state() == DataSet::State::Insert || id != sqlvalue::toString(ds.oldValue(QStringLiteral("ClerkID")))) {
        if (!app().data.ADOConnection1
                 .query(QStringLiteral("SELECT ClerkID FROM Clerk WHERE ClerkID = :id"), {{QStringLiteral("id"), id}})
                 .isEmpty()) {
            app().dialogs.say(this, QStringLiteral("员工代号不能相同。"));
            throw AbortError();
        }
    }
}

void TFSetup_manpower::addClerk()
{
    if (!AddButton->isEnabled() || !post(*Clerk, kSaveFailed) || !mayAppend())
        return;
    Clerk->append();
    showDialog();
}

void TFSetup_manpower::editClerk()
{
    if (EditButton->isEnabled())
        editInForm(*Clerk, kSaveFailed, [this] { addClerk(); }, [this] { showDialog(); });
}

void TFSetup_manpower::showDialog()
{
    {
        TFSetup_add_manpower dlg(app(), *Clerk, this);
        runForm(*Clerk, dlg);
    }
    Clerk->refresh(); // the duty's name
}

void TFSetup_manpower::deleteClerk()
{
    if (DeleteButton->isEnabled())
        deleteRow(grid_);
}

void TFSetup_manpower::find()
{
    Database &db = app().data.ADOConnection1;
    Conditions c;
    if (search_->ticked(0))
        c.contains(QStringLiteral("CK.ClerkID"), search_->text(0));
    if (search_->ticked(1))
        c.contains(QStringLiteral("CK.ClerkName"), search_->text(1));
    if (search_->ticked(2))
        c.equals(QStringLiteral("CK.Sex"), search_->text(2));
    // An unknown department or duty adds no condition.
    if (search_->ticked(3)) {
        const QVariant id = db.scalar(QStringLiteral("SELECT DepartID FROM CompanyConstruction WHERE DepartName = :n"),
                                      {{QStringLiteral("n"), search_->text(3)}});
        if (id.isValid())
            c.equals(QStringLiteral("CK.DepartID"), id);
    }
    if (search_->ticked(4)) {
        const QVariant id = db.scalar(QStringLiteral("SELECT AffairID FROM Affair WHERE AffairName = :n"),
                                      {{QStringLiteral("n"), search_->text(4)}});
        if (id.isValid())
            c.equals(QStringLiteral("CK.AffairID"), id);
    }
    requery(*Clerk, kSelect + c.where() + kOrder, c.params(), true);
}

// ---- staff form -----------------------------------------------------------------------

TFSetup_add_manpower::TFSetup_add_manpower(AppContext &app, DataSet &staff, QWidget *parent)
    : RecordDialog(staff, QStringLiteral("TFSetup_add_manpower"), QStringLiteral("员工资料"), parent)
{
    QList<QPair<QVariant, QString>> duties;
    const RowSet rs = app.data.ADOConnection1.query(QStringLiteral("SELECT AffairID, AffairName FROM Affair ORDER BY AffairID"));
    for (int i = 0; i < rs.size(); ++i)
        duties.append({rs.value(i, 0), rs.value(i, 1).toString()});
    addText(QStringLiteral("ClerkID"), QStringLiteral("员工代号："));
    addText(QStringLiteral("ClerkName"), QStringLiteral("员工姓名："));
    addChoice(QStringLiteral("Sex"), QStringLiteral("性别："), {QStringLiteral("男"), QStringLiteral("女")});
    addDate(QStringLiteral("Birth"), QStringLiteral("出生年月："));
    addText(QStringLiteral("Phone"), QStringLiteral("联系电话："));
    addLookup(QStringLiteral("AffairID"), QStringLiteral("职务："), duties);
    addText(QStringLiteral("IDcard"), QStringLiteral("身份证号："));
    addText(QStringLiteral("Address"), QStringLiteral("地址："));
    addText(QStringLiteral("Email"), QStringLiteral("Email："));
    addChoice(QStringLiteral("Antecedents"), QStringLiteral("学历："),
              {QString(), QStringLiteral("初中"), QStringLiteral("中专"), QStringLiteral("高中"), QStringLiteral("大专"),
               QStringLiteral("本科"), QStringLiteral("硕士"), QStringLiteral("博士")});
    addDate(QStringLiteral("EntryDate"), QStringLiteral("入职日期："));
    addText(QStringLiteral("Pass"), QStringLiteral("密码："), true);
    addMemo(QStringLiteral("Remark"), QStringLiteral("备注："));
    onInvalid = [&app, this](const QString &text) { app.dialogs.say(this, text); };
    onOk = [&app, &staff, this] {
        if (!store())
            return;
        try {
            staff.post();
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

// ---- duties ---------------------------------------------------------------------------

TFSetup_duty::TFSetup_duty(AppContext &app, QWidget *parent)
    : ListWindow(app, QStringLiteral("TFSetup_duty"), QStringLiteral("职务设置"), parent)
{
    Affair = new DataSet(&app.data.ADOConnection1, this);
    Affair->setObjectName(QStringLiteral("Affair"));
    Affair->setUpdateTable(QStringLiteral("Affair"), {});
    requery(*Affair, QStringLiteral("SELECT * FROM Affair ORDER BY AffairID"), {});
    grid_ = addGrid(QStringLiteral("DBGridEh1"), Affair);
    showColumns(*Affair, grid_, {{QStringLiteral("AffairName"), QStringLiteral("职务")}});
    editInGrid(grid_, {QStringLiteral("AffairName"), QStringLiteral("保存失败，请检查。"), QString(), {}, {}});
    addDeleteAddSaveButtons();
}
