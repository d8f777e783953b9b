#pragma once
// The partner picker: all partners with their balance, a search by number
// and name, 确定 hands back the chosen partner.
#include <QDialog>

class DBGrid;
class DataSet;
class QCheckBox;
class QLineEdit;
class QPushButton;
struct AppContext;

class TFSelect_corporation : public QDialog {
    Q_OBJECT
public:
    explicit TFSelect_corporation(AppContext &app, QWidget *parent = nullptr);

    // 查找 (Ctrl+F): the ticked boxes' conditions; none ticked lists everyone.
    void find();
    // The partner of the current row; empty when the list is empty.
    QString clientId() const;
    QString clientName() const;

    DBGrid *DBGridEh1;
    DataSet *query;
    QCheckBox *CheckBox1; // 单位编号：
    QLineEdit *Edit1;
    QCheckBox *CheckBox2; // 单位名称：
    QLineEdit *Edit2;
    QPushButton *FindButton;
    QPushButton *OkButton;
    QPushButton *CancelButton;

private:
    void choose();
    AppContext &app_;
};

// Opens the partner picker. On 确定 the chosen partner's number and name are
// written and true returned; on cancel both are left as they were.
bool PickPartner(AppContext &app, QWidget *parent, QString &clientId, QString &clientName);
