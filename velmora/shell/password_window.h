#pragma once
// 修改密码: users change their login password, clerks their bill password.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
struct AppContext;

class TFSystem_password : public QDialog {
    Q_OBJECT
public:
    TFSystem_password(AppContext &app, QWidget *parent = nullptr);
    ~TFSystem_password() override;

    QTabWidget *PageControl1;
    // 用户密码
    QComboBox *ComboBox2;
    QLineEdit *UserOld, *UserNew, *UserConfirm;
    QPushButton *UserOk, *UserCancel;
    // 经手人密码
    QComboBox *ComboBox1;
    QLineEdit *ClerkOld, *ClerkNew, *ClerkConfirm;
    QPushButton *ClerkOk, *ClerkCancel;

private:
    void changeUserPassword();
    void changeClerkPassword();
    AppContext &app_;
    QMetaObject::Connection focusWatch_;
};
