#pragma once
// The small dialogs of the goods bills: batch entry of handsets, the buyer's
// personal data, and the sale record of a handset.
#include <QDialog>
#include <QVariant>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class TFGoodsBill;
struct AppContext;

// 成批增加: a fixed goods, price and states, then one IMEI after another; each
// 确定 appends one line of quantity 1 to the bill (TFAdd_stock_form for the
// purchase, TFAdd_Goods_Sell for the sale).
class TFAddGoodsLines : public QDialog {
    Q_OBJECT
public:
    TFAddGoodsLines(AppContext &app, TFGoodsBill &bill);

    QLineEdit *GoodsID;
    QPushButton *SelectButton;
    QLineEdit *GoodsName, *Unit, *Spec, *Config;
    QComboBox *Colour;   // purchase only
    QComboBox *Salesman; // sale only
    QLineEdit *Price;
    QRadioButton *StateYes, *StateNo;
    QRadioButton *GiftYes, *GiftNo; // sale only
    QDateEdit *StateDate;
    QPlainTextEdit *Memo;
    QLineEdit *IMEI, *SN;
    QPushButton *OkButton, *CancelButton;

    void goodsChanged();
    bool confirm();

private:
    AppContext &app_;
    TFGoodsBill &bill_;
    QString salesmanId_;
    bool sale_;
};

// 顾客资料: edits the line's buyer, or a new one when the line has none.
class TFSell_client_data : public QDialog {
    Q_OBJECT
public:
    TFSell_client_data(AppContext &app, const QVariant &buyerId, QWidget *parent = nullptr);
    QVariant buyerId() const { return buyerId_; }

    QLineEdit *BuyerName, *IDCard, *Mail, *Address, *Phone;
    QPushButton *OkButton, *CancelButton;

    void confirm();

private:
    AppContext &app_;
    QVariant buyerId_;
};

// 销售资料: the sale of a handset, read-only.
class TFGoods_client_data : public QDialog {
    Q_OBJECT
public:
    TFGoods_client_data(AppContext &app, const QString &imei, QWidget *parent = nullptr);
    // The shown values by their captions (顾客姓名, 销售单据号, ...).
    QString shown(const QString &caption) const;

private:
    QList<QPair<QString, QLabel *>> values_;
};
