#pragma once
// The one goods-bill window; each bill kind is a GoodsBillKind on top of it.
#include "goods_bill_kind.h"

#include <QDialog>
#include <QHash>

class DataSet;
class DBGrid;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
struct AppContext;

class TFGoodsBill : public QDialog {
    Q_OBJECT
public:
    TFGoodsBill(AppContext &app, const GoodsBillKind &kind, QWidget *parent = nullptr);
    ~TFGoodsBill() override;

    const GoodsBillKind &kind() const { return kind_; }
    DataSet *lines() const { return lines_; }
    DBGrid *grid() const { return DBGridEh1; }
    Money total() const { return total_; }
    bool passwordPending() const { return passwordFlag_; }

    // The buttons' commands.
    bool save();
    void addLine();          // 增加: the goods picker, then a new line
    void appendLine(const QString &goodsId); // a new line of that goods (what 增加 does after the picker)
    void deleteLine();
    void batchAdd();
    void print();
    void exportLines();
    // Leaving the handler box / the partner box.
    void resolveClerk();
    void resolvePartner();

    QLineEdit *Enumber;
    QDateEdit *DateTimePicker1;
    QLineEdit *Edit1; // partner
    QPushButton *SelectButton;
    QComboBox *ComboBox1; // warehouse
    QComboBox *ComboBox2; // handler
    DBGrid *DBGridEh1;
    QLineEdit *Edit4; // summary
    QComboBox *ComboBox3; // account
    QLineEdit *NumEdit1;  // settled amount
    QLabel *Label11;      // open amount
    QPushButton *PrintButton, *ExportButton, *SaveButton, *BatchButton, *AddButton, *DeleteButton, *CloseButton;

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void openLines();
    void setUpFields();
    void newLine(DataSet &ds);
    void fieldChanged(DataSet &ds, const QString &field);
    void checkLine(DataSet &ds);
    void calcLine(DataSet &ds, int row);
    void recomputeTotal();
    void settledEdited();
    bool storeEditedLine(bool dropBlank);
    void ellipsis(const QString &field);
    bool confirmClose();
    QString cachedName(const QString &kind, const QVariant &id);

    AppContext &app_;
    const GoodsBillKind &kind_;
    DataSet *lines_;
    bool passwordFlag_ = true;
    bool closing_ = false;
    QString lastGoods_;
    QHash<QString, QVariant> lastLine_; // values new lines copy
    Money total_;
    QHash<QString, QString> nameCache_;
};

class TFGoods_stock_form : public TFGoodsBill {
    Q_OBJECT
public:
    explicit TFGoods_stock_form(AppContext &app, QWidget *parent = nullptr) : TFGoodsBill(app, purchaseBill(), parent) {}
};

class TFGoods_sell : public TFGoodsBill {
    Q_OBJECT
public:
    explicit TFGoods_sell(AppContext &app, QWidget *parent = nullptr) : TFGoodsBill(app, salesBill(), parent) {}
};

class WindowCatalog;
void registerGoodsWindows(WindowCatalog &catalog);
