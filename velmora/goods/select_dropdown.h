#pragma once
// The drop-down pickers: a borderless list that opens right under the grid
// cell editor that asked for it, starts on the cell's current key and hands
// back the chosen key. A click anywhere else closes it without a choice.
#include <QDialog>
#include <QList>
#include <QRect>

#include "pickers_common.h"

class DBGrid;
class DataSet;
class QToolButton;
struct AppContext;

class DropDownPick : public QDialog {
    Q_OBJECT
public:
    // Opens under the editor (global placement kept inside the screen's work
    // area) on the row whose key equals `key`; on OK writes the chosen key
    // into `key` and returns true. Otherwise `key` is left as it was.
    bool pick(QWidget *editor, QString &key);

    // Where the list goes: under the editor, inside the work area; above
    // the editor when it does not fit below and there is more room above.
    static QRect place(const QRect &editor, const QSize &size, const QRect &workArea);

    DBGrid *grid;
    DataSet *table;
    QToolButton *okButton;
    QToolButton *cancelButton;

protected:
    DropDownPick(AppContext &app, const QString &name, const QString &sql, const QString &keyField,
                 const QList<PickerColumn> &columns, QWidget *parent);
    // The current row's value of a field, as text.
    QString current(const QString &field) const;
    // Called on OK before the table is closed, for extra results.
    virtual void chosen() {}

private:
    void fitWidth();
    bool eventFilter(QObject *watched, QEvent *event) override;

    AppContext &app_;
    QString sql_;
    QString keyField_;
    QList<PickerColumn> columns_;
    QWidget *panel_;
    QRect anchor_; // the editor, global
    QRect work_;
};

class TFSelect_Color : public DropDownPick {
    Q_OBJECT
public:
    explicit TFSelect_Color(AppContext &app, QWidget *parent = nullptr);
};

class TFSelect_clerk : public DropDownPick {
    Q_OBJECT
public:
    explicit TFSelect_clerk(AppContext &app, QWidget *parent = nullptr);
};

class TFSelect_Account : public DropDownPick {
    Q_OBJECT
public:
    explicit TFSelect_Account(AppContext &app, QWidget *parent = nullptr);
    using DropDownPick::pick;
    // Also gives the account's name on OK.
    bool pick(QWidget *editor, QString &accountId, QString &accountName);

protected:
    void chosen() override;

private:
    QString name_;
};

class TFSelect_PutCost : public DropDownPick {
    Q_OBJECT
public:
    explicit TFSelect_PutCost(AppContext &app, QWidget *parent = nullptr);
};

class TFSelect_Item : public DropDownPick {
    Q_OBJECT
public:
    explicit TFSelect_Item(AppContext &app, QWidget *parent = nullptr);
};

// One call per picker for the grids: the key in the cell goes in, the chosen
// key comes out on true; false leaves it untouched.
bool PickColor(AppContext &app, QWidget *editor, QString &colorId);
bool PickClerk(AppContext &app, QWidget *editor, QString &clerkId);
bool PickAccount(AppContext &app, QWidget *editor, QString &accountId, QString &accountName);
bool PickPutCost(AppContext &app, QWidget *editor, QString &itemId);
bool PickItem(AppContext &app, QWidget *editor, QString &itemId);
