#include "popedom.h"

#include "app_context.h"
#include "dataset.h"
#include "dataset_model.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "keys.h"
#include "tfdata.h"

#include "widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kSuper = QStringLiteral("超级用户");

} // namespace

const QStringList &TFSystem_popedom::groups()
{
    static const QStringList g{QStringLiteral("设置"), QStringLiteral("物流"), QStringLiteral("钱流"), QStringLiteral("统计"),
                               QStringLiteral("工资")};
    return g;
}

TFSystem_popedom::TFSystem_popedom(AppContext &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("TFSystem_popedom"));
    setWindowTitle(QStringLiteral("权限设置"));
    Database *db = &app_.data.ADOConnection1;

    // Sets.
    sets_ = new DataSet(db, this);
    sets_->setSql(QStringLiteral("select * from purename where purview_name<>:super ORDER BY purview_name"));
    sets_->setParam(QStringLiteral("super"), kSuper);
    sets_->setUpdateTable(QStringLiteral("purename"), {QStringLiteral("purview_name")});
    sets_->beforePost = [this](DataSet &ds) { checkSet(ds); };
    sets_->afterPost = [this](DataSet &ds) {
        Database &d = *ds.database();
        const QString name = ds.text(QStringLiteral("purview_name"));
        if (setPost_ == SetPost::Created) {
            d.exec(QStringLiteral("Insert into purview(p_module,p_class,purview_name,p_query,p_all) "
                                  "select module_name,p_class,:name,0,0 From p_module"),
                   {{QStringLiteral("name"), name}});
        } else if (setPost_ == SetPost::Renamed) {
            d.exec(QStringLiteral("Update purview set purview_name=:new where purview_name=:old"),
                   {{QStringLiteral("new"), name}, {QStringLiteral("old"), renamedFrom_}});
            d.exec(QStringLiteral("Update user_info set purview_name=:new where purview_name=:old"),
                   {{QStringLiteral("new"), name}, {QStringLiteral("old"), renamedFrom_}});
        }
    };
    connect(sets_, &DataSet::currentChanged, this, [this] { openRights(); });

    SaveButton = makeButton(this, QStringLiteral("SaveButton"), QStringLiteral("保存"));
    AddButton = makeButton(this, QStringLiteral("AddButton"), QStringLiteral("增加"));
    DeleteButton = makeButton(this, QStringLiteral("DeleteButton"), QStringLiteral("删除"));
    setGrid_ = new DBGrid(this);
    setGrid_->setObjectName(QStringLiteral("DBGridEh1"));
    auto *left = new QWidget(this);
    auto *ll = new QVBoxLayout(left);
    auto *lb = new QHBoxLayout;
    lb->addWidget(SaveButton);
    lb->addWidget(AddButton);
    lb->addWidget(DeleteButton);
    lb->addStretch();
    ll->addLayout(lb);
    ll->addWidget(setGrid_);

    // Rights per group.
    tabs_ = new QTabWidget(this);
    for (int t = 0; t < 5; ++t) {
        auto *page = new QWidget(tabs_);
        auto *pl = new QVBoxLayout(page);
        auto *radios = new QHBoxLayout;
        noneRadio[t] = new QRadioButton(QStringLiteral("无权限"), page);
        queryRadio[t] = new QRadioButton(QStringLiteral("所有查询权"), page);
        allRadio[t] = new QRadioButton(QStringLiteral("所有全权"), page);
        for (QRadioButton *r : {noneRadio[t], queryRadio[t], allRadio[t]})
            radios->addWidget(r);
        radios->addStretch();
        connect(noneRadio[t], &QRadioButton::clicked, this, [this, t] { setGroupRights(t, false, false); });
        connect(queryRadio[t], &QRadioButton::clicked, this, [this, t] { setGroupRights(t, true, false); });
        connect(allRadio[t], &QRadioButton::clicked, this, [this, t] { setGroupRights(t, false, true); });
        pl->addLayout(radios);
        rights_[t] = new DataSet(db, this);
        rights_[t]->setSql(QStringLiteral("select * from purview where purview_name=:purview_name and p_class=:p_class ORDER BY p_module"));
        rights_[t]->setParam(QStringLiteral("p_class"), groups()[t]);
        rights_[t]->setUpdateTable(QStringLiteral("purview"), {QStringLiteral("purview_name"), QStringLiteral("p_module")});
        rights_[t]->setAutoPost(true);
        rights_[t]->onFieldChanged = [](DataSet &ds, const QString &field) {
            // The two rights of a row are never both set.
            if (field == QLatin1String("p_query") && ds.boolean(QStringLiteral("p_query")))
                ds.setValue(QStringLiteral("p_all"), false);
            else if (field == QLatin1String("p_all") && ds.boolean(QStringLiteral("p_all")))
                ds.setValue(QStringLiteral("p_query"), false);
        };
        rightsGrids_[t] = new DBGrid(page);
        rightsGrids_[t]->setObjectName(QStringLiteral("RightsGrid%1").arg(t));
        pl->addWidget(rightsGrids_[t]);
        tabs_->addTab(page, groups()[t]);
    }

    // Users.
    users_ = new DataSet(db, this);
    users_->setSql(QStringLiteral("SELECT * FROM user_info WHERE (purview_name <> :super) ORDER BY user_number"));
    users_->setParam(QStringLiteral("super"), kSuper);
    users_->setUpdateTable(QStringLiteral("user_info"), {QStringLiteral("user_number")});
    users_->beforePost = [this](DataSet &ds) { checkUser(ds); };
    userGrid_ = new DBGrid(this);
    userGrid_->setObjectName(QStringLiteral("DBGridEh3"));
    AddUserButton = makeButton(this, QStringLiteral("AddUserButton"), QStringLiteral("增加用户"));
    DeleteUserButton = makeButton(this, QStringLiteral("DeleteUserButton"), QStringLiteral("删除用户"));
    SaveUserButton = makeButton(this, QStringLiteral("SaveUserButton"), QStringLiteral("保存用户"));
    auto *bottom = new QWidget(this);
    auto *bl = new QVBoxLayout(bottom);
    auto *bb = new QHBoxLayout;
    bb->addWidget(AddUserButton);
    bb->addWidget(DeleteUserButton);
    bb->addWidget(SaveUserButton);
    bb->addStretch();
    bl->addLayout(bb);
    bl->addWidget(userGrid_);

    auto *right = new QSplitter(Qt::Vertical, this);
    right->addWidget(tabs_);
    right->addWidget(bottom);
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 3);
    auto *l = new QHBoxLayout(this);
    l->addWidget(split);

    connect(SaveButton, &QPushButton::clicked, this, &TFSystem_popedom::saveSet);
    connect(AddButton, &QPushButton::clicked, this, &TFSystem_popedom::addSet);
    connect(DeleteButton, &QPushButton::clicked, this, &TFSystem_popedom::deleteSet);
    connect(AddUserButton, &QPushButton::clicked, this, &TFSystem_popedom::addUser);
    connect(DeleteUserButton, &QPushButton::clicked, this, &TFSystem_popedom::deleteUser);
    connect(SaveUserButton, &QPushButton::clicked, this, &TFSystem_popedom::saveUser);
    auto *keys = FormKeys::install(this, FormKeys::EnterMoves);
    keys->bindCtrl(Qt::Key_S, [this] { saveSet(); });
    keys->bindCtrl(Qt::Key_N, [this] { addSet(); });
    keys->bindDelete([this] {
        if (setGrid_->view()->hasFocus())
            deleteSet();
    });
    connect(setGrid_->view(), &GridView::endReached, this, [] {});

    // On show: pick list, sets, their rights, users.
    sets_->open();
    sets_->field(QStringLiteral("purview_name")).displayLabel = QStringLiteral("权限名称");
    setGrid_->setDataSet(sets_);
    for (int t = 0; t < 5; ++t) {
        openRights();
        rightsGrids_[t]->setDataSet(rights_[t]);
        rightsGrids_[t]->model()->setBoolsAsChecks(true);
    }
    users_->open();
    const struct {
        const char *field, *label;
    } userLabels[] = {{"user_number", "用户编号"}, {"user_name", "用户名称"}, {"purview_name", "权限名称"}, {"user_pass", "用户密码"}};
    for (const auto &f : userLabels)
        users_->field(QString::fromLatin1(f.field)).displayLabel = QString::fromUtf8(f.label);
    userGrid_->setDataSet(users_);
    refillPickList();
}

TFSystem_popedom::~TFSystem_popedom()
{
    // Hooks capture this window; the data sets outlive nothing but must not call back.
    sets_->beforePost = nullptr;
    sets_->afterPost = nullptr;
    users_->beforePost = nullptr;
    disconnect(sets_, nullptr, this, nullptr);
}

void TFSystem_popedom::openRights()
{
    const QString set = sets_->recNo() >= 0 ? sets_->text(QStringLiteral("purview_name")) : QString();
    for (int t = 0; t < 5; ++t) {
        rights_[t]->setParam(QStringLiteral("purview_name"), set);
        rights_[t]->open();
        if (rights_[t]->hasField(QStringLiteral("p_module"))) {
            rights_[t]->field(QStringLiteral("p_module")).displayLabel = QStringLiteral("功能名");
            rights_[t]->field(QStringLiteral("p_module")).readOnly = true;
            rights_[t]->field(QStringLiteral("p_query")).displayLabel = QStringLiteral("查询");
            rights_[t]->field(QStringLiteral("p_all")).displayLabel = QStringLiteral("全权");
            rights_[t]->field(QStringLiteral("purview_name")).visible = false;
            rights_[t]->field(QStringLiteral("p_class")).visible = false;
        }
    }
    for (int t = 0; t < 5; ++t)
        if (rightsGrids_[t] && rightsGrids_[t]->model())
            rightsGrids_[t]->model()->rebuild();
}

void TFSystem_popedom::refillPickList()
{
    const RowSet rs = app_.data.ADOConnection1.query(QStringLiteral("select purview_name from purename where purview_name<>:s ORDER BY purview_name"),
                                                     {{QStringLiteral("s"), kSuper}});
    QStringList names;
    for (int i = 0; i < rs.size(); ++i)
        names << rs.value(i, 0).toString();
    userGrid_->setPickList(QStringLiteral("purview_name"), names);
}

void TFSystem_popedom::setFullRights(bool full)
{
    for (QPushButton *b : {SaveButton, AddButton, DeleteButton, AddUserButton, DeleteUserButton, SaveUserButton})
        b->setEnabled(full);
    for (int t = 0; t < 5; ++t) {
        tabs_->widget(t)->setEnabled(full);
        rightsGrids_[t]->setReadOnly(!full);
    }
    setGrid_->setReadOnly(!full);
    userGrid_->setReadOnly(!full);
}

// ---- sets ---------------------------------------------------------------------------

void TFSystem_popedom::checkSet(DataSet &ds)
{
    const QString name = ds.text(QStringLiteral("purview_name"));
    renamedFrom_.clear();
    setPost_ = SetPost::None;
    if (ds.state() == DataSet::State::Edit) {
        const QString old = sqlvalue::toString(ds.oldValue(QStringLiteral("purview_name")));
        if (old == name)
            return;
        renamedFrom_ = old;
    }
    const int exists = int(sqlvalue::toInt(ds.database()->scalar(QStringLiteral("select count(*) from purename where purview_name=:n"),
                                                                  {{QStringLiteral("n"), name}})));
    if (exists > 0 || name == kSuper) {
        renamedFrom_.clear();
        app_.dialogs.say(this, QStringLiteral("权限名称不能相同。"));
        throw AbortError();
    }
    setPost_ = renamedFrom_.isEmpty() ? SetPost::Created : SetPost::Renamed;
}

void TFSystem_popedom::addSet()
{
    sets_->append();
    refillPickList();
    setGrid_->focusField(QStringLiteral("purview_name"));
}

void TFSystem_popedom::saveSet()
{
    if (sets_->isEditing() && sets_->text(QStringLiteral("purview_name")).trimmed().isEmpty()) {
        sets_->cancel();
        return;
    }
    try {
        sets_->post();
    } catch (const AbortError &) {
        return;
    } catch (const DbError &) {
        app_.dialogs.error(this, QStringLiteral("该信息正被其它表单使用或网络出现故障，不能保存。"));
        return;
    }
    openRights();
    refillPickList();
    users_->refresh();
    app_.dialogs.inform(this, QStringLiteral("权限名称保存成功。"));
}

void TFSystem_popedom::deleteSet()
{
    if (sets_->isEditing() && sets_->state() == DataSet::State::Insert) {
        sets_->cancel();
        return;
    }
    if (sets_->isEmpty()) {
        app_.dialogs.warn(this, QStringLiteral("没有记录可以删除。"));
        return;
    }
    if (!app_.dialogs.confirm(this, QStringLiteral("是否确定删除？")))
        return;
    Database &d = app_.data.ADOConnection1;
    const QString name = sets_->text(QStringLiteral("purview_name"));
    try {
        Transaction tx(d);
        d.exec(QStringLiteral("Delete From purview where purview_name=:n"), {{QStringLiteral("n"), name}});
        d.exec(QStringLiteral("Delete FROM user_info WHERE purview_name=:n"), {{QStringLiteral("n"), name}});
        sets_->remove();
        tx.commit();
    } catch (const DbError &) {
        app_.dialogs.error(this, QStringLiteral("网络故障或者该信息正被其它表单使用，不能删除。"));
        sets_->refresh();
    }
    users_->refresh();
    openRights();
    refillPickList();
}

void TFSystem_popedom::setGroupRights(int tab, bool query, bool all)
{
    if (sets_->isEmpty())
        return;
    app_.data.ADOConnection1.exec(QStringLiteral("update purview set p_query=:q,p_all=:a where (purview_name=:n) and (p_class=:c)"),
                                  {{QStringLiteral("q"), query},
                                   {QStringLiteral("a"), all},
                                   {QStringLiteral("n"), sets_->text(QStringLiteral("purview_name"))},
                                   {QStringLiteral("c"), groups()[tab]}});
    rights_[tab]->refresh();
}

// ---- users ----------------------------------------------------------------------------

void TFSystem_popedom::checkUser(DataSet &ds)
{
    if (ds.text(QStringLiteral("user_name")).isEmpty()) {
        app_.dialogs.warn(this, QStringLiteral("用户名称不能为空。"));
        throw AbortError();
    }
    const QString number = ds.text(QStringLiteral("user_number"));
    const bool isNew = ds.state() == DataSet::State::Insert;
    if (isNew || number != sqlvalue::toString(ds.oldValue(QStringLiteral("user_number")))) {
        const int used = int(sqlvalue::toInt(ds.database()->scalar(QStringLiteral("Select count(*) From user_info where user_number=:n"),
                                                                    {{QStringLiteral("n"), number}})));
        if (used > 0) {
            app_.dialogs.say(this, QStringLiteral("用户编号不能相同。"));
            throw AbortError();
        }
    }
}

void TFSystem_popedom::addUser()
{
    users_->append();
    userGrid_->focusField(QStringLiteral("user_number"));
}

void TFSystem_popedom::deleteUser()
{
    if (users_->state() == DataSet::State::Insert) {
        users_->cancel();
        return;
    }
    if (users_->isEmpty()) {
        app_.dialogs.warn(this, QStringLiteral("没有记录可以删除。"));
        return;
    }
    if (!app_.dialogs.confirm(this, QStringLiteral("是否确定删除？")))
        return;
    try {
        users_->remove();
    } catch (const DbError &) {
        app_.dialogs.error(this, QStringLiteral("网络故障或者该信息正被其它表单使用，不能删除。"));
    }
}

void TFSystem_popedom::saveUser()
{
    if (users_->state() == DataSet::State::Insert && users_->text(QStringLiteral("user_number")).isEmpty() &&
        users_->text(QStringLiteral("user_name")).isEmpty()) {
        users_->cancel();
    } else if (users_->isEditing()) {
        try {
            users_->post();
        } catch (const AbortError &) {
            return;
        } catch (const DbError &) {
            app_.dialogs.error(this, QStringLiteral("该信息正被其它表单使用或网络出现故障，不能保存。"));
            return;
        }
    }
    app_.dialogs.inform(this, QStringLiteral("保存成功。"));
}
