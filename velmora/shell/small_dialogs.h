#pragma once
// The small dialogs of the shell: clerk password, input box, save
// confirmation, exit confirmation, about box and the splash window.
#include <QDialog>

class QLineEdit;
class QLabel;
class QPushButton;
struct AppContext;

class TFInput_password : public QDialog {
    Q_OBJECT
public:
    TFInput_password(AppContext &app, const QString &clerkId, QWidget *parent = nullptr);
    QLineEdit *Edit1;
    QPushButton *Button1; // 确定
    QPushButton *Button2; // 取消

private:
    void confirm();
    AppContext &app_;
    QString clerkId_;
};

class TFMyInputbox : public QDialog {
    Q_OBJECT
public:
    TFMyInputbox(const QString &caption, const QString &prompt, const QString &defaultText, QWidget *parent = nullptr);
    QString text() const;
    QLineEdit *Edit1;
    QPushButton *Button1;
    QPushButton *Button2;
};

// "是否保存?" before a bill is saved.
class TFrMessage : public QDialog {
    Q_OBJECT
public:
    explicit TFrMessage(QWidget *parent = nullptr);
    QPushButton *Button1;
    QPushButton *Button2;
};

class TFSystem_exit : public QDialog {
    Q_OBJECT
public:
    explicit TFSystem_exit(QWidget *parent = nullptr);
    QPushButton *Button1;
    QPushButton *Button2;
};

class TFHel_other_product : public QDialog {
    Q_OBJECT
public:
    TFHel_other_product(AppContext &app, QWidget *parent = nullptr);
};

class TFlogo : public QWidget {
    Q_OBJECT
public:
    explicit TFlogo(QWidget *parent = nullptr);
};
