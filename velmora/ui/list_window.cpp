#include "list_window.h"

#include "app_context.h"
#include "dataset.h"
#include "dataset_model.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "excel_export.h"
#include "keys.h"
#include "report_preview.h"
#include "tfdata.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <climits>

namespace {
// A null QString binds as NULL; the root's code is the empty string.
QString codeOf(const QVariant &v)
{
    const QString s = v.toString();
    return s.isNull() ? QStringLiteral("") : s;
}

const QString kFailedDelete = QStringLiteral("网络故障或者该信息正被其它表单使用，不能删除。");

QPushButton *plainButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

// ---- conditions -------------------------------------------------------------------

QString Conditions::next(const QVariant &value)
{
    const QString name = QStringLiteral("s%1").arg(params_.size());
    params_.append({name, value});
    return QLatin1Char(':') + name;
}

void Conditions::contains(const QString &column, const QString &typed)
{
    const QString mark = next(QLatin1Char('%') + Database::likeEscape(typed) + QLatin1Char('%'));
    parts_ << QStringLiteral("(%1 LIKE %2 ESCAPE '\\')").arg(column, mark);
}

void Conditions::equals(const QString &column, const QVariant &value)
{
    const QString mark = next(value);
    parts_ << QStringLiteral("(%1 = %2)").arg(column, mark);
}

QString Conditions::where() const
{
    return parts_.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts_.join(QStringLiteral(" and "));
}

// ---- search bar ---------------------------------------------------------------------

SearchBar::SearchBar(QWidget *parent) : QWidget(parent), row_(new QHBoxLayout(this))
{
    setObjectName(QStringLiteral("SearchBar"));
    row_->setContentsMargins(0, 0, 0, 0);
    find_ = plainButton(this, QStringLiteral("FindButton"), QStringLiteral("查找"));
    row_->addWidget(find_);
    row_->addStretch();
    connect(find_, &QPushButton::clicked, this, &SearchBar::findClicked);
}

int SearchBar::addText(const QString &label)
{
    Entry e;
    const int i = int(entries_.size());
    e.check = new QCheckBox(label, this);
    e.check->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
    e.edit = new QLineEdit(this);
    e.edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    row_->insertWidget(row_->indexOf(find_), e.check);
    row_->insertWidget(row_->indexOf(find_), e.edit);
    entries_.append(e);
    return i;
}

int SearchBar::addChoice(const QString &label, const QStringList &items, bool editable)
{
    Entry e;
    const int i = int(entries_.size());
    e.check = new QCheckBox(label, this);
    e.check->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
    e.combo = new QComboBox(this);
    e.combo->setObjectName(QStringLiteral("ComboBox%1").arg(i + 1));
    e.combo->setEditable(editable);
    e.combo->addItems(items);
    row_->insertWidget(row_->indexOf(find_), e.check);
    row_->insertWidget(row_->indexOf(find_), e.combo);
    entries_.append(e);
    return i;
}

void SearchBar::setItems(int i, const QStringList &items)
{
    QComboBox *c = entries_.at(i).combo;
    const QString keep = c->currentText();
    c->clear();
    c->addItems(items);
    c->setCurrentText(keep);
}

bool SearchBar::ticked(int i) const { return entries_.at(i).check->isChecked(); }

QString SearchBar::text(int i) const
{
    const Entry &e = entries_.at(i);
    return e.edit ? e.edit->text() : e.combo->currentText();
}

// ---- level tree ---------------------------------------------------------------------

LevelTree::LevelTree(AppContext &app, LevelTreeDef def, QWidget *parent)
    : QTreeWidget(parent), app_(app), def_(std::move(def))
{
    setObjectName(QStringLiteral("TreeView1"));
    setHeaderHidden(true);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *cur) {
        emit codeChanged(cur ? codeOf(cur->data(0, Qt::UserRole)) : QStringLiteral(""));
    });
}

void LevelTree::build()
{
    const QString keep = currentItem() ? currentCode() : QString();
    const bool hadCurrent = currentItem() != nullptr;
    QSignalBlocker block(this);
    clear();
    auto *root = new QTreeWidgetItem(this, {def_.rootText});
    root->setData(0, Qt::UserRole, QString());
    addChildren(root, QStringLiteral(""));
    expandAll();
    if (hadCurrent) {
        QTreeWidgetItemIterator it(this);
        for (; *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toString() == keep) {
                setCurrentItem(*it);
                break;
            }
    }
}

void LevelTree::addChildren(QTreeWidgetItem *parent, const QString &code)
{
    // All children are read before descending: one statement at a time.
    const RowSet rs = app_.data.ADOConnection1.query(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 = :up ORDER BY %1")
                                                         .arg(def_.idColumn, def_.nameColumn, def_.table, def_.upColumn),
                                                     {{QStringLiteral("up"), code}});
    for (int i = 0; i < rs.size(); ++i) {
        auto *item = new QTreeWidgetItem(parent, {rs.value(i, 1).toString()});
        item->setData(0, Qt::UserRole, rs.value(i, 0).toString());
    }
    for (int i = 0; i < parent->childCount(); ++i)
        addChildren(parent->child(i), codeOf(parent->child(i)->data(0, Qt::UserRole)));
}

QTreeWidgetItem *LevelTree::findName(const QString &name) const
{
    QTreeWidgetItemIterator it(const_cast<LevelTree *>(this));
    for (; *it; ++it)
        if ((*it)->text(0) == name)
            return *it;
    return nullptr;
}

QString LevelTree::currentCode() const
{
    return currentItem() ? codeOf(currentItem()->data(0, Qt::UserRole)) : QStringLiteral("");
}

bool LevelTree::allowed()
{
    if (canEdit && !canEdit()) {
        app_.dialogs.say(this, QStringLiteral("对不起，你只有查询权。"));
        return false;
    }
    return true;
}

bool LevelTree::nameTaken(const QString &name)
{
    return sqlvalue::toInt(app_.data.ADOConnection1.scalar(
               QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = :n").arg(def_.table, def_.nameColumn),
               {{QStringLiteral("n"), name}})) > 0;
}

QString LevelTree::nextCode(const QString &parentCode)
{
    if (parentCode.size() + 3 > def_.idWidth) {
        app_.dialogs.warn(this, QStringLiteral("类别已经达到最多级数，不能再增加下级类别。"));
        return {};
    }
    // Codes have three digits per level, so the greatest is the last in code order.
    const QString last = sqlvalue::toString(app_.data.ADOConnection1.scalar(
        QStringLiteral("SELECT MAX(%1) FROM %2 WHERE %3 = :up").arg(def_.idColumn, def_.table, def_.upColumn),
        {{QStringLiteral("up"), parentCode}}));
    const int n = last.isEmpty() ? 1 : last.mid(parentCode.size(), 3).toInt() + 1;
    if (n > 999) {
        app_.dialogs.warn(this, QStringLiteral("该类别下已经有999个下级类别，不能再增加。"));
        return {};
    }
    return parentCode + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

void LevelTree::addNodes()
{
    if (!allowed())
        return;
    if (!currentItem())
        setCurrentItem(rootItem());
    QTreeWidgetItem *parentItem = currentItem();
    const QString parent = currentCode();
    Database &db = app_.data.ADOConnection1;
    for (;;) {
        const QString name = ask ? ask(def_.addCaption, def_.addLabel, QString()) : QString();
        if (def_.trimmedEndsAdd ? name.trimmed().isEmpty() : name.isEmpty())
            break;
        const QString next = nextCode(parent);
        if (next.isEmpty())
            break;
        if (nameTaken(name)) {
            app_.dialogs.say(this, def_.nameClash);
            continue;
        }
        setEnabled(false);
        try {
            db.exec(QStringLiteral("INSERT INTO %1(%2, %3, %4) VALUES(:id, :name, :up)")
                        .arg(def_.table, def_.idColumn, def_.nameColumn, def_.upColumn),
                    {{QStringLiteral("id"), next}, {QStringLiteral("name"), name}, {QStringLiteral("up"), parent}});
            auto *item = new QTreeWidgetItem(parentItem, {name});
            item->setData(0, Qt::UserRole, next);
            parentItem->setExpanded(true);
            emit edited();
        } catch (const DbError &) {
            app_.dialogs.say(this, def_.addFailed);
        }
        setEnabled(true);
    }
}

void LevelTree::renameNode()
{
    if (!allowed())
        return;
    QTreeWidgetItem *item = currentItem();
    if (!item || item == rootItem()) {
        app_.dialogs.say(this, def_.rootRename);
        return;
    }
    const QString name = ask ? ask(def_.renameCaption, def_.renameLabel, item->text(0)) : QString();
    if (name.trimmed().isEmpty() || name == item->text(0))
        return;
    if (nameTaken(name)) {
        app_.dialogs.say(this, def_.nameClash);
        return;
    }
    try {
        app_.data.ADOConnection1.exec(
            QStringLiteral("UPDATE %1 SET %2 = :n WHERE %3 = :id").arg(def_.table, def_.nameColumn, def_.idColumn),
            {{QStringLiteral("n"), name}, {QStringLiteral("id"), currentCode()}});
        item->setText(0, name);
        emit edited();
    } catch (const DbError &) {
        app_.dialogs.say(this, QStringLiteral("保存失败，请检查。"));
    }
}

void LevelTree::deleteNode()
{
    if (!allowed())
        return;
    QTreeWidgetItem *item = currentItem();
    if (!item || item == rootItem()) {
        app_.dialogs.say(this, def_.rootDelete);
        return;
    }
    if (!app_.dialogs.confirm(this, def_.deleteQuestion))
        return;
    const QString node = currentCode();
    QTreeWidgetItem *parentItem = item->parent();
    const QString up = codeOf(parentItem->data(0, Qt::UserRole));
    Database &db = app_.data.ADOConnection1;
    try {
        Transaction tx(db);
        db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = :c").arg(def_.rowsTable, def_.rowsColumn), {{QStringLiteral("c"), node}});
        // Every level below goes too, so no category is left without its parent;
        // rows still held by a lower level make the database refuse the whole.
        db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 LIKE :below ESCAPE '\\'").arg(def_.table, def_.idColumn),
                {{QStringLiteral("below"), Database::likeEscape(node) + QStringLiteral("_%")}});
        db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = :c AND %3 = :up").arg(def_.table, def_.idColumn, def_.upColumn),
                {{QStringLiteral("c"), node}, {QStringLiteral("up"), up}});
        tx.commit();
    } catch (const DbError &) {
        app_.dialogs.say(this, kFailedDelete);
        return;
    }
    setCurrentItem(parentItem);
    delete item;
    emit edited();
}

void LevelTree::contextMenuEvent(QContextMenuEvent *e)
{
    if (QTreeWidgetItem *item = itemAt(viewport()->mapFrom(this, e->pos())))
        setCurrentItem(item);
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("增加类别"), this, &LevelTree::addNodes);
    menu->addAction(QStringLiteral("修改类别"), this, &LevelTree::renameNode);
    menu->addAction(QStringLiteral("删除类别"), this, &LevelTree::deleteNode);
    menu->popup(e->globalPos());
}

// ---- record dialog ---------------------------------------------------------------------

namespace {
enum Kind { TextKind, MemoKind, ChoiceKind, LookupKind, DateKind, RadioKind };
}

RecordDialog::RecordDialog(DataSet &ds, const QString &objectName, const QString &caption, QWidget *parent)
    : QDialog(parent), ds_(ds), form_(new QFormLayout), outer_(new QVBoxLayout(this))
{
    setObjectName(objectName);
    setWindowTitle(caption);
    outer_->addLayout(form_);
    FormKeys::install(this, FormKeys::EnterMoves | FormKeys::ArrowsMove | FormKeys::EscCloses);
}

QLineEdit *RecordDialog::addText(const QString &field, const QString &label, bool password)
{
    auto *e = new QLineEdit(this);
    e->setObjectName(field);
    if (password)
        e->setEchoMode(QLineEdit::Password);
    form_->addRow(label, e);
    bindings_.append({field, e, TextKind});
    return e;
}

QWidget *RecordDialog::addMemo(const QString &field, const QString &label)
{
    auto *e = new QPlainTextEdit(this);
    e->setObjectName(field);
    e->setTabChangesFocus(true);
    form_->addRow(label, e);
    bindings_.append({field, e, MemoKind});
    return e;
}

QComboBox *RecordDialog::addChoice(const QString &field, const QString &label, const QStringList &items, bool editable)
{
    auto *c = new QComboBox(this);
    c->setObjectName(field);
    c->setEditable(editable);
    c->addItems(items);
    form_->addRow(label, c);
    bindings_.append({field, c, ChoiceKind});
    return c;
}

QComboBox *RecordDialog::addLookup(const QString &field, const QString &label, const QList<QPair<QVariant, QString>> &items)
{
    auto *c = new QComboBox(this);
    c->setObjectName(field);
    c->addItem(QString(), QVariant());
    for (const auto &[id, name] : items)
        c->addItem(name, id);
    form_->addRow(label, c);
    bindings_.append({field, c, LookupKind});
    return c;
}

QWidget *RecordDialog::addDate(const QString &field, const QString &label)
{
    auto *e = new QLineEdit(this);
    e->setObjectName(field);
    e->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));
    form_->addRow(label, e);
    bindings_.append({field, e, DateKind});
    return e;
}

QWidget *RecordDialog::addRadios(const QString &field, const QString &label, const QString &title,
                                 const QList<QPair<QString, QVariant>> &choices)
{
    QWidget *box = title.isEmpty() ? new QWidget(this) : new QGroupBox(title, this);
    box->setObjectName(field);
    auto *l = new QHBoxLayout(box);
    auto *group = new QButtonGroup(box);
    int i = 0;
    for (const auto &[text, value] : choices) {
        auto *r = new QRadioButton(text, box);
        r->setObjectName(field + QString::number(i));
        r->setProperty("value", value);
        group->addButton(r, i++);
        l->addWidget(r);
    }
    form_->addRow(label, box);
    bindings_.append({field, box, RadioKind});
    return box;
}

QWidget *RecordDialog::editor(const QString &field) const
{
    for (const Binding &b : bindings_)
        if (b.field.compare(field, Qt::CaseInsensitive) == 0)
            return b.editor;
    return nullptr;
}

void RecordDialog::setReadOnly(const QString &field, bool on)
{
    QWidget *w = editor(field);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setReadOnly(on);
    else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
        m->setReadOnly(on);
    else if (w)
        w->setEnabled(!on);
}

void RecordDialog::finish()
{
    auto *row = new QHBoxLayout;
    okButton = plainButton(this, QStringLiteral("OkButton"), QStringLiteral("确定"));
    cancelButton = plainButton(this, QStringLiteral("CancelButton"), QStringLiteral("取消"));
    row->addStretch();
    row->addWidget(okButton);
    row->addWidget(cancelButton);
    outer_->addLayout(row);
    connect(okButton, &QPushButton::clicked, this, [this] {
        if (onOk)
            onOk();
        else if (store())
            accept();
    });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void RecordDialog::load()
{
    for (const Binding &b : bindings_) {
        const QVariant v = ds_.value(b.field);
        const Field &f = ds_.field(b.field);
        switch (b.kind) {
        case TextKind:
            static_cast<QLineEdit *>(b.editor)
                ->setText(f.kind == ColumnKind::Money && v.isValid() ? v.value<Money>().toString(2) : sqlvalue::toString(v));
            break;
        case MemoKind:
            static_cast<QPlainTextEdit *>(b.editor)->setPlainText(sqlvalue::toString(v));
            break;
        case ChoiceKind: {
            auto *c = static_cast<QComboBox *>(b.editor);
            if (c->isEditable())
                c->setCurrentText(sqlvalue::toString(v));
            else
                c->setCurrentIndex(c->findText(sqlvalue::toString(v)));
            break;
        }
        case LookupKind: {
            auto *c = static_cast<QComboBox *>(b.editor);
            int at = 0;
            for (int i = 1; i < c->count(); ++i)
                if (v.isValid() && !v.isNull() && c->itemData(i).toString() == v.toString())
                    at = i;
            c->setCurrentIndex(at);
            break;
        }
        case DateKind: {
            const QDateTime dt = sqlvalue::toDateTime(v);
            static_cast<QLineEdit *>(b.editor)->setText(dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-dd")) : QString());
            break;
        }
        case RadioKind:
            for (QRadioButton *r : b.editor->findChildren<QRadioButton *>()) {
                QSignalBlocker block(r);
                r->setAutoExclusive(false);
                r->setChecked(v.isValid() && !v.isNull() && r->property("value").toString() == v.toString());
                r->setAutoExclusive(true);
            }
            break;
        }
    }
}

bool RecordDialog::store()
{
    // Everything is checked before the row changes, so a refusal changes nothing.
    QList<QPair<QString, QVariant>> values;
    for (const Binding &b : bindings_) {
        const Field &f = ds_.field(b.field);
        QVariant v;
        bool set = true;
        switch (b.kind) {
        case TextKind: {
            const QString t = static_cast<QLineEdit *>(b.editor)->text();
            if (f.kind == ColumnKind::Money) {
                bool ok = true;
                const Money m = t.trimmed().isEmpty() ? Money() : Money::parse(t.trimmed(), &ok);
                if (!ok) {
                    if (onInvalid)
                        onInvalid(QStringLiteral("请输入正确的金额。"));
                    b.editor->setFocus();
                    return false;
                }
                v = QVariant::fromValue(m);
            } else {
                v = t;
            }
            break;
        }
        case MemoKind:
            v = static_cast<QPlainTextEdit *>(b.editor)->toPlainText();
            break;
        case ChoiceKind:
            v = static_cast<QComboBox *>(b.editor)->currentText();
            break;
        case LookupKind:
            v = static_cast<QComboBox *>(b.editor)->currentData();
            break;
        case DateKind: {
            const QString t = static_cast<QLineEdit *>(b.editor)->text().trimmed();
            if (!t.isEmpty()) {
                const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
                if (!d.isValid()) {
                    if (onInvalid)
                        onInvalid(QStringLiteral("请输入正确的日期（年-月-日）。"));
                    b.editor->setFocus();
                    return false;
                }
                v = QDateTime(d, QTime(0, 0));
            }
            break;
        }
        case RadioKind:
            set = false;
            for (QRadioButton *r : b.editor->findChildren<QRadioButton *>())
                if (r->isChecked()) {
                    v = r->property("value");
                    set = true;
                }
            break;
        }
        if (set)
            values.append({b.field, v});
    }
    for (const auto &[field, v] : values) {
        const QVariant old = ds_.value(field);
        const bool bothEmpty = (!old.isValid() || old.isNull() || sqlvalue::toString(old).isEmpty()) &&
                               (!v.isValid() || v.isNull() || sqlvalue::toString(v).isEmpty());
        if (!bothEmpty)
            ds_.setValue(field, v);
    }
    return true;
}

// ---- list window -----------------------------------------------------------------------

ListWindow::ListWindow(AppContext &app, const QString &objectName, const QString &caption, QWidget *parent)
    : QWidget(parent), app_(app), body_(new QHBoxLayout(this)), right_(new QVBoxLayout), grids_(new QHBoxLayout),
      buttons_(new QHBoxLayout)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    resize(800, 600);
    body_->addLayout(right_, 1);
    right_->addLayout(grids_, 1);
    right_->addLayout(buttons_);
    buttons_->addStretch();
    keys_ = FormKeys::install(this, FormKeys::EnterMoves);
}

ListWindow::~ListWindow() = default;

void ListWindow::setFullRights(bool full)
{
    full_ = full;
    for (QPushButton *b : editing_)
        b->setEnabled(full);
    for (DBGrid *g : editableGrids_)
        g->setReadOnly(!full);
}

void ListWindow::setSide(QWidget *side)
{
    side->setParent(this);
    side->setMaximumWidth(260);
    // Keyboard focus would choose the first node by itself; the list shown
    // before the user picks one stays until then.
    side->setFocusPolicy(Qt::ClickFocus);
    body_->insertWidget(0, side);
}

SearchBar *ListWindow::addSearchBar()
{
    auto *bar = new SearchBar(this);
    right_->insertWidget(0, bar);
    return bar;
}

DBGrid *ListWindow::addGrid(const QString &objectName, DataSet *ds, bool editable)
{
    auto *g = new DBGrid(this);
    g->setObjectName(objectName);
    g->setDataSet(ds);
    grids_->addWidget(g);
    if (editable)
        editableGrids_ << g;
    g->setReadOnly(!editable || !full_);
    g->view()->installEventFilter(this);
    if (!current_)
        current_ = g;
    return g;
}

QPushButton *ListWindow::addButton(const QString &objectName, const QString &text, bool editing, std::function<void()> action)
{
    QPushButton *b = plainButton(this, objectName, text);
    buttons_->insertWidget(buttons_->count() - 1, b);
    if (editing) {
        editing_ << b;
        b->setEnabled(full_);
    }
    connect(b, &QPushButton::clicked, this, [action = std::move(action)] { action(); });
    return b;
}

void ListWindow::onGridAppend(DBGrid *grid, std::function<void()> action)
{
    gridKeys_[grid->view()].append = action;
    connect(grid->view(), &GridView::endReached, this, [this, grid, action] {
        if (full_ && !grid->isReadOnly())
            action();
    });
}

void ListWindow::onGridDelete(DBGrid *grid, std::function<void()> action) { gridKeys_[grid->view()].remove = std::move(action); }

bool ListWindow::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::FocusIn) {
        for (DBGrid *g : findChildren<DBGrid *>())
            if (g->view() == watched)
                current_ = g;
    } else if (e->type() == QEvent::KeyPress && gridKeys_.contains(watched)) {
        const GridKeys &k = gridKeys_[watched];
        auto *view = static_cast<GridView *>(watched);
        const int key = static_cast<QKeyEvent *>(e)->key();
        const bool last = !view->model() || view->currentIndex().row() >= view->model()->rowCount() - 1;
        if (k.append && (key == Qt::Key_Insert || (key == Qt::Key_Down && last))) {
            k.append();
            return true;
        }
        if (k.remove && key == Qt::Key_Delete) {
            k.remove();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void ListWindow::editInGrid(DBGrid *grid, GridEditing editing)
{
    editings_.insert(grid, editing);
    onGridAppend(grid, [this, grid] { appendRow(grid); });
    onGridDelete(grid, [this, grid] { deleteRow(grid); });
    connect(grid, &DBGrid::postRefused, this, [this, grid] { app_.dialogs.error(this, editings_.value(grid).saveFailed); });
    askOnClose(grid->dataSet(), [this, grid] { return saveRow(grid); });
}

void ListWindow::appendRow(DBGrid *grid)
{
    if (!full_ || !grid)
        return;
    const GridEditing e = editings_.value(grid);
    DataSet &ds = *grid->dataSet();
    if (ds.isEditing() && !post(ds, e.saveFailed))
        return;
    if (e.mayAppend && !e.mayAppend())
        return;
    try {
        ds.append();
    } catch (const AbortError &) {
        return;
    } catch (const DbError &) {
        app_.dialogs.error(this, e.saveFailed);
        return;
    }
    grid->focusField(e.firstField);
}

bool ListWindow::saveRow(DBGrid *grid)
{
    return !grid || post(*grid->dataSet(), editings_.value(grid).saveFailed);
}

void ListWindow::deleteRow(DBGrid *grid)
{
    if (!full_ || !grid)
        return;
    const GridEditing e = editings_.value(grid);
    DataSet &ds = *grid->dataSet();
    if (ds.state() != DataSet::State::Insert && !ds.isEmpty() && e.mayDelete && !e.mayDelete())
        return;
    removeCurrent(ds, e.deleteFailed);
}

void ListWindow::addDeleteAddSaveButtons()
{
    DeleteButton = addButton(QStringLiteral("DeleteButton"), QStringLiteral("删除"), true, [this] { deleteRow(current_); });
    AddButton = addButton(QStringLiteral("AddButton"), QStringLiteral("增加"), true, [this] { appendRow(current_); });
    SaveButton = addButton(QStringLiteral("SaveButton"), QStringLiteral("保存"), true, [this] { saveRow(current_); });
    keys_->bindCtrl(Qt::Key_S, [this] { saveRow(current_); });
    keys_->bindCtrl(Qt::Key_N, [this] { appendRow(current_); });
    keys_->bindDelete([this] { deleteRow(current_); });
}

void ListWindow::addLineNumbers(DataSet &ds)
{
    ds.addCalculatedField(QStringLiteral("LineID"), QStringLiteral("行号"));
    ds.onCalcFields = [](DataSet &d, int row) {
        d.setValueAt(row, d.fieldIndex(QStringLiteral("LineID")), d.isRowStored(row) ? row + 1 : 1);
    };
}

void ListWindow::showColumns(DataSet &ds, DBGrid *grid, const QList<QPair<QString, QString>> &labels)
{
    QStringList order;
    for (const Field &f : ds.fields())
        ds.field(f.name).visible = false;
    for (const auto &[name, label] : labels) {
        Field &f = ds.field(name);
        f.visible = true;
        f.displayLabel = label;
        order << name;
    }
    grid->model()->setColumnOrder(order);
}

void ListWindow::commitEditors()
{
    for (DBGrid *g : findChildren<DBGrid *>())
        g->view()->commitEditor();
}

bool ListWindow::requireRights()
{
    if (!full_)
        app_.dialogs.say(this, QStringLiteral("对不起，你只有查询权。"));
    return full_;
}

void ListWindow::editInForm(DataSet &ds, const QString &failMessage, const std::function<void()> &add,
                            const std::function<void()> &showForm)
{
    if (ds.isEmpty()) {
        add();
        return;
    }
    if (!post(ds, failMessage))
        return;
    ds.edit();
    showForm();
}

void ListWindow::runForm(DataSet &ds, QDialog &form)
{
    app_.dialogs.exec(&form);
    if (ds.isEditing())
        ds.cancel();
}

bool ListWindow::post(DataSet &ds, const QString &failMessage)
{
    commitEditors();
    if (!ds.isEditing())
        return true;
    try {
        ds.post();
        return true;
    } catch (const AbortError &) {
        return !ds.isEditing(); // a check may drop the row instead of keeping it
    } catch (const DbError &) {
        app_.dialogs.error(this, failMessage);
        return false;
    }
}

bool ListWindow::removeCurrent(DataSet &ds, const QString &failMessage)
{
    commitEditors();
    if (ds.state() == DataSet::State::Insert) {
        ds.cancel(); // an unsaved new row just goes
        return true;
    }
    if (ds.isEmpty()) {
        app_.dialogs.warn(this, QStringLiteral("没有记录可以删除。"));
        return false;
    }
    if (!app_.dialogs.confirm(this, QStringLiteral("是否确定删除？")))
        return false;
    try {
        ds.remove();
        return true;
    } catch (const AbortError &) {
        return false;
    } catch (const DbError &) {
        app_.dialogs.error(this, failMessage.isEmpty() ? kFailedDelete : failMessage);
        return false;
    }
}

bool ListWindow::requery(DataSet &ds, const QString &sql, const Params &params, bool reportEmpty)
{
    if (ds.isEditing())
        ds.cancel();
    ds.close();
    ds.setSql(sql);
    ds.clearParams();
    for (const Param &p : params)
        ds.setParam(p.name, p.value);
    try {
        ds.open();
    } catch (const DbError &e) {
        app_.dialogs.error(this, e.message());
        return false;
    }
    if (reportEmpty && ds.isEmpty())
        app_.dialogs.say(this, QStringLiteral("没有符合条件的记录。"));
    return true;
}

void ListWindow::print(const QString &report, const DataSet &ds)
{
    ReportData data;
    data.set(QStringLiteral("Title"), windowTitle());
    fillBand(data, QStringLiteral("lines"), ds);
    PrintReport(app_, this, report, data);
}

void ListWindow::exportList(const DataSet &ds)
{
    if (ds.isActive())
        ExportToExcel(app_, this, ds, INT_MAX);
}

void ListWindow::askOnClose(DataSet *ds, std::function<bool()> save) { closeChecks_.append({ds, std::move(save)}); }

void ListWindow::closeEvent(QCloseEvent *e)
{
    commitEditors();
    for (const auto &[ds, save] : closeChecks_) {
        if (!ds->isActive() || !ds->isEditing())
            continue;
        if (app_.dialogs.confirm(this, QStringLiteral("记录已经被修改，是否确定保存？"))) {
            if (!save()) {
                e->ignore(); // the user keeps the row to correct it
                return;
            }
        } else {
            ds->cancel();
        }
    }
    e->accept();
}
