#pragma once
// The goods pickers: from the catalogue (receiving bills) and from one
// warehouse's stock (issuing bills). Both show the tree of goods types; the
// chosen goods goes to the shared variables SelMerchandiseID/Name/TypeName.
#include <QDialog>
#include <QTreeWidget>

class DBGrid;
class DataSet;
class Database;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
struct AppContext;

// A root "商品类别" (goods without a type) over every type reachable from the
// top-level types, fully expanded. Items carry the type's ID, so two types of
// one name stay apart.
class GoodsTypeTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit GoodsTypeTree(QWidget *parent = nullptr);
    void load(Database &db);
    QTreeWidgetItem *root() const { return topLevelItem(0); }
    QTreeWidgetItem *findType(const QString &typeId) const;
    static QString typeIdOf(const QTreeWidgetItem *item);

signals:
    // The root gives an empty ID.
    void typeChosen(const QString &typeId);
};

// Grid, type tree and the search row both pickers share.
class GoodsPickerBase : public QDialog {
    Q_OBJECT
public:
    // 查找 (Ctrl+F).
    virtual void find() = 0;
    // The goods of the current row; empty when the list is empty.
    QString goodsId() const;

    GoodsTypeTree *TreeView1;
    DBGrid *DBGridEh1;
    DataSet *query;
    QCheckBox *CheckBox1; // 商品编号：
    QLineEdit *Edit1;
    QCheckBox *CheckBox2; // 商品名称：
    QLineEdit *Edit2;
    QPushButton *FindButton;
    QPushButton *OkButton;
    QPushButton *CancelButton;

protected:
    GoodsPickerBase(AppContext &app, const QString &name, QWidget *parent);
    // Lays out the widgets; `extra` (may be null) goes above the grid.
    void build(QWidget *extra);
    void showGoodsColumns(bool withAmount);
    // The typed search conditions, their values bound on the query.
    QStringList searchConditions(const QString &alias);
    virtual void showType(const QString &typeId) = 0;
    void choose();

    AppContext &app_;
};

class TFSelect_commodity : public GoodsPickerBase {
    Q_OBJECT
public:
    explicit TFSelect_commodity(AppContext &app, QWidget *parent = nullptr);
    void find() override;

protected:
    void showType(const QString &typeId) override;

private:
    void run(const QString &where);
};

class TFSelect_Stock_commodity : public GoodsPickerBase {
    Q_OBJECT
public:
    TFSelect_Stock_commodity(AppContext &app, const QString &storehouseName, QWidget *parent = nullptr);
    void find() override;

    QComboBox *ComboBox1; // 仓库名称：

protected:
    void showType(const QString &typeId) override;

private:
    enum class Shown { All, Type, Search };
    void run(const QString &where);
    void rerun();
    Shown shown_ = Shown::All;
    QString typeId_;
};

// The catalogue picker; true on 确定, with the shared variables set.
bool PickGoods(AppContext &app, QWidget *parent);
// The stock picker on a warehouse (the user may change it); true on 确定,
// with the shared variables set. Cancel leaves them as they were.
bool PickStockGoods(AppContext &app, QWidget *parent, const QString &storehouseName);
