#pragma once
// The list windows' shared pieces: a window with grids bound to data sets, the
// rights switch, buttons, a search bar, a tree of level codes, a form over one
// row, posting and deleting with the window's own messages, print, export and
// the close question for unsaved rows. The base data windows are thin uses.
#include "database.h"
#include "function_window.h"

#include <QDialog>
#include <QHash>
#include <QTreeWidget>
#include <QWidget>
#include <functional>

class DataSet;
class DBGrid;
class FormKeys;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
struct AppContext;
struct ReportData;

// Conditions of a search, every typed value bound; LIKE fragments match
// literally ("%" and "_" stand for themselves).
class Conditions {
public:
    void contains(const QString &column, const QString &typed);
    void equals(const QString &column, const QVariant &value);
    bool isEmpty() const { return parts_.isEmpty(); }
    // " WHERE a and b", or nothing.
    QString where() const;
    const Params &params() const { return params_; }

private:
    QString next(const QVariant &value);
    QStringList parts_;
    Params params_;
};

// Check boxes with an edit or a drop-down each, and "查找".
class SearchBar : public QWidget {
    Q_OBJECT
public:
    explicit SearchBar(QWidget *parent = nullptr);
    int addText(const QString &label);
    int addChoice(const QString &label, const QStringList &items, bool editable = false);
    void setItems(int i, const QStringList &items);
    QCheckBox *check(int i) const { return entries_.at(i).check; }
    QLineEdit *edit(int i) const { return entries_.at(i).edit; }
    QComboBox *combo(int i) const { return entries_.at(i).combo; }
    bool ticked(int i) const;
    QString text(int i) const;
    QPushButton *findButton() const { return find_; }

signals:
    void findClicked();

private:
    struct Entry {
        QCheckBox *check = nullptr;
        QLineEdit *edit = nullptr;
        QComboBox *combo = nullptr;
    };
    QHBoxLayout *row_;
    QPushButton *find_;
    QList<Entry> entries_;
};

// What differs between the category tree and the department tree.
struct LevelTreeDef {
    QString table, idColumn, nameColumn, upColumn;
    int idWidth = 50; // the code column's width: deeper levels do not fit
    QString rootText;
    QString addCaption, addLabel, renameCaption, renameLabel;
    QString nameClash, addFailed, rootDelete, rootRename, deleteQuestion;
    QString rowsTable, rowsColumn; // the rows of a node, deleted with it
    bool trimmedEndsAdd = false;   // a blank-after-trimming answer ends the add loop
};

// A tree of level codes: three digits per level, the root has the empty code.
class LevelTree : public QTreeWidget {
    Q_OBJECT
public:
    LevelTree(AppContext &app, LevelTreeDef def, QWidget *parent = nullptr);

    // Whether the user may change the tree; false shows "对不起，你只有查询权。".
    std::function<bool()> canEdit;
    // The one-line input box; empty on cancel.
    std::function<QString(const QString &caption, const QString &label, const QString &text)> ask;

    void build();
    QTreeWidgetItem *rootItem() const { return topLevelItem(0); }
    QTreeWidgetItem *findName(const QString &name) const;
    QString currentCode() const;
    // The code the next child of parentCode gets; empty (after telling the
    // user) when the parent has no room left.
    QString nextCode(const QString &parentCode);

    void addNodes();
    void renameNode();
    void deleteNode();

signals:
    void codeChanged(const QString &code);

protected:
    void contextMenuEvent(QContextMenuEvent *e) override;

signals:
    // A node was added, renamed or deleted.
    void edited();

private:
    bool allowed();
    bool nameTaken(const QString &name);
    void addChildren(QTreeWidgetItem *parent, const QString &code);
    AppContext &app_;
    LevelTreeDef def_;
};

// A modal form over the current row of a data set: each editor shows a field
// when loaded and writes it back on store().
class RecordDialog : public QDialog {
    Q_OBJECT
public:
    RecordDialog(DataSet &ds, const QString &objectName, const QString &caption, QWidget *parent = nullptr);

    QLineEdit *addText(const QString &field, const QString &label, bool password = false);
    QWidget *addMemo(const QString &field, const QString &label);
    // Stores the chosen text.
    QComboBox *addChoice(const QString &field, const QString &label, const QStringList &items, bool editable = false);
    // Shows names, stores the id of the chosen one (null for the empty entry).
    QComboBox *addLookup(const QString &field, const QString &label, const QList<QPair<QVariant, QString>> &items);
    QWidget *addDate(const QString &field, const QString &label);
    // Radio buttons each storing a value; title non-empty makes a group box.
    QWidget *addRadios(const QString &field, const QString &label, const QString &title,
                       const QList<QPair<QString, QVariant>> &choices);
    QWidget *editor(const QString &field) const;
    void setReadOnly(const QString &field, bool on);
    // The OK and Cancel row; call once after the editors.
    void finish();

    void load();
    // Writes the editors into the row; false (after telling the user) when a
    // value cannot be stored (an amount that is not a number).
    bool store();

    QPushButton *okButton = nullptr, *cancelButton = nullptr;
    // 确定: by default store, and accept.
    std::function<void()> onOk;
    std::function<void(const QString &text)> onInvalid;

private:
    struct Binding {
        QString field;
        QWidget *editor;
        int kind;
    };
    DataSet &ds_;
    QFormLayout *form_;
    QVBoxLayout *outer_;
    QList<Binding> bindings_;
};

// How rows are added, saved and deleted right in a grid.
struct GridEditing {
    QString firstField;   // the cell a new row starts in
    QString saveFailed;   // a database refusal of a save
    QString deleteFailed; // a database refusal of a delete (empty: the usual one)
    // Checks of the window before "是否确定删除？"; false refuses (after saying why).
    std::function<bool()> mayDelete;
    // Before a new row is started; false refuses.
    std::function<bool()> mayAppend;
};

class ListWindow : public QWidget, public FunctionWindow {
    Q_OBJECT
public:
    ListWindow(AppContext &app, const QString &objectName, const QString &caption, QWidget *parent = nullptr);
    ~ListWindow() override;

    void setFullRights(bool full) override;
    bool fullRights() const { return full_; }
    AppContext &app() const { return app_; }
    FormKeys *keys() const { return keys_; }

    // Layout: the side (a tree) on the left; on the right the search bar, the
    // grids side by side, and the buttons at the bottom.
    void setSide(QWidget *side);
    SearchBar *addSearchBar();
    DBGrid *addGrid(const QString &objectName, DataSet *ds, bool editable = true);
    // An editing button is enabled only with full rights.
    QPushButton *addButton(const QString &objectName, const QString &text, bool editing, std::function<void()> action);
    // Insert, or Down/Enter past the last row, in the grid (full rights only);
    // Delete in the grid.
    void onGridAppend(DBGrid *grid, std::function<void()> action);
    void onGridDelete(DBGrid *grid, std::function<void()> action);
    // The grid that had the focus last (for windows with two).
    DBGrid *currentGrid() const { return current_; }

    // Rows added (Insert, or past the last row), saved (leaving the row) and
    // deleted (Delete, after the question) in the grid, and the close question.
    void editInGrid(DBGrid *grid, GridEditing editing);
    void appendRow(DBGrid *grid);
    bool saveRow(DBGrid *grid);
    void deleteRow(DBGrid *grid);
    // "删除", "增加", "保存" acting on the current grid, with Delete, Ctrl+N, Ctrl+S.
    void addDeleteAddSaveButtons();
    QPushButton *DeleteButton = nullptr, *AddButton = nullptr, *SaveButton = nullptr;

    // A "行号" column: the row's position, 1 for a row not yet stored.
    static void addLineNumbers(DataSet &ds);
    // Labels the listed fields, shows them in this order and hides the rest.
    static void showColumns(DataSet &ds, DBGrid *grid, const QList<QPair<QString, QString>> &labels);

    // Writes the row being edited. A refusal of a check stays quiet (it has
    // spoken), a database refusal shows failMessage; the row stays in edit.
    bool post(DataSet &ds, const QString &failMessage);
    // 修改 through a record form: an empty list adds instead (the window's own
    // 增加, with its checks); otherwise the row is stored, put into edit and
    // shown in the form.
    void editInForm(DataSet &ds, const QString &failMessage, const std::function<void()> &add,
                    const std::function<void()> &showForm);
    // Shows a record form over the current row; an edit it left open is dropped.
    void runForm(DataSet &ds, QDialog &form);
    // "没有记录可以删除。", "是否确定删除？", then the delete; a database
    // refusal shows failMessage and the row stays.
    bool removeCurrent(DataSet &ds, const QString &failMessage);
    // Re-queries; when emptyMessage is set and nothing came back, says it.
    bool requery(DataSet &ds, const QString &sql, const Params &params, bool reportEmpty = false);
    void print(const QString &report, const DataSet &ds);
    void exportList(const DataSet &ds);
    // Closing while ds has an unsaved row asks "记录已经被修改，是否确定保存？":
    // OK runs save (a failed save keeps the window open), Cancel drops the row.
    void askOnClose(DataSet *ds, std::function<bool()> save);
    // Closes open cell editors so that typed text reaches the data sets.
    void commitEditors();
    // A query-only user's attempt: "对不起，你只有查询权。".
    bool requireRights();

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    struct GridKeys {
        std::function<void()> append, remove;
    };
    AppContext &app_;
    FormKeys *keys_;
    QHBoxLayout *body_;
    QVBoxLayout *right_;
    QHBoxLayout *grids_;
    QHBoxLayout *buttons_;
    QList<QPushButton *> editing_;
    QList<DBGrid *> editableGrids_;
    QHash<QObject *, GridKeys> gridKeys_;
    QList<QPair<DataSet *, std::function<bool()>>> closeChecks_;
    QHash<DBGrid *, GridEditing> editings_;
    DBGrid *current_ = nullptr;
    bool full_ = true;
};
