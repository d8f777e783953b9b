#pragma once
// The keyboard behaviour every window shares: Enter (or Down) moves to the next
// control and Up to the previous one, Esc closes, Ctrl+S/P/N/E/F/D run the
// window's save/print/add/export/find/detail commands, Delete presses its
// delete button. Installed once per window.
#include <QObject>
#include <QHash>
#include <functional>

class QWidget;

class FormKeys : public QObject {
    Q_OBJECT
public:
    enum Option {
        EnterMoves = 0x1,  // Enter moves to the next control
        ArrowsMove = 0x2,  // Down/Up move too
        EscCloses = 0x4,
        Defaults = EnterMoves | EscCloses,
    };

    static FormKeys *install(QWidget *form, int options = Defaults);

    // Ctrl+<key> runs the action (Qt::Key_S, Qt::Key_P, ...).
    void bindCtrl(int key, std::function<void()> action) { ctrl_.insert(key, std::move(action)); }
    void bindDelete(std::function<void()> action) { delete_ = std::move(action); }
    // Enter in this widget runs the action instead of moving on (a password box pressing 确定).
    void bindEnter(QWidget *w, std::function<void()> action) { enter_.insert(w, std::move(action)); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FormKeys(QWidget *form, int options);
    QWidget *form_;
    int options_;
    QHash<int, std::function<void()>> ctrl_;
    QHash<QWidget *, std::function<void()>> enter_;
    std::function<void()> delete_;
};
