#pragma once
// The wait dialog shown while long work runs: a framed note and a progress bar
// that the work drives; setProgress keeps the program painting meanwhile.
#include <QDialog>

class QProgressBar;
class QLabel;

class TFwait : public QDialog {
    Q_OBJECT
public:
    explicit TFwait(QWidget *parent = nullptr);

    // 0..100; repaints and handles pending events (input to other windows is
    // blocked while the dialog is up, so no command can start twice).
    void setProgress(int percent);
    int progress() const;
    // Closes the dialog when the work is done; the user cannot close it before.
    void finish();

protected:
    void showEvent(QShowEvent *e) override;

public slots:
    void reject() override;

private:
    QProgressBar *bar_;
    QLabel *label_;
};
