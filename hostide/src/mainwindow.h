// The stand-in IDE's main window: a menu that runs the components, an
// output pane and a status bar with the pane "Main" and its progress.
#pragma once

#include <QMainWindow>

class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace hostide {
class Host;
}

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(hostide::Host &host, QWidget *parent = nullptr);
    ~MainWindow() override;

    void showOptions();
    void output(const QString &text);

private:
    hostide::Host &m_host;
    QLabel *m_main;
    QProgressBar *m_progress;
    QPlainTextEdit *m_output;
};
