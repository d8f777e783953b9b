#pragma once
// The server login and the user login dialogs.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
struct AppContext;
class RegSetting;
class DialogService;

class TFLogin_server : public QDialog {
    Q_OBJECT
public:
    TFLogin_server(RegSetting &settings, DialogService &dialogs, const QString &programFolder, QWidget *parent = nullptr);
    QLineEdit *ServerIP;
    QPushButton *Button1; // 确定
    QPushButton *Button2; // 取消
    QCheckBox *CheckBox2;
    QLineEdit *EditUser;
    QLineEdit *EditPass;
    QPushButton *Button3; // 帮助

    // The connection string the three fields make.
    QString connectionString() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void confirm();
    RegSetting &settings_;
};

class TFSystem_enter : public QDialog {
    Q_OBJECT
public:
    TFSystem_enter(AppContext &app, QWidget *parent = nullptr);
    ~TFSystem_enter() override;
    QDateEdit *DateTimePicker1;
    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    QPushButton *Button1;
    QPushButton *Button2;

    // Fills the name list and the defaults (done when shown).
    void prepare();
    // Leaving the name box: a user number becomes that user's name.
    void resolveUserNumber();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void confirm();
    AppContext &app_;
    bool prepared_ = false;
    QMetaObject::Connection focusWatch_;
};

// Opens the user's help file with the desktop's browser.
void ShowHelp(DialogService &dialogs, const QString &programFolder);
