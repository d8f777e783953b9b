#pragma once
// Which window each command of the main window opens. Subsystems register
// their windows here; a command without a window is shown disabled.
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;
struct AppContext;

class WindowCatalog {
public:
    // A function window for the MDI area; it should implement FunctionWindow.
    using MdiFactory = std::function<QWidget *(AppContext &, QWidget *parent)>;
    // A modal bill window.
    using BillFactory = std::function<QDialog *(AppContext &, QWidget *parent)>;

    void addWindow(const QString &command, MdiFactory f) { mdi_.insert(command, std::move(f)); }
    void addBill(const QString &command, BillFactory f) { bills_.insert(command, std::move(f)); }
    MdiFactory window(const QString &command) const { return mdi_.value(command); }
    BillFactory bill(const QString &command) const { return bills_.value(command); }
    bool has(const QString &command) const { return mdi_.contains(command) || bills_.contains(command); }
    // Every command with a window, sorted.
    QStringList commands() const
    {
        QStringList out = mdi_.keys() + bills_.keys();
        out.sort();
        return out;
    }

private:
    QHash<QString, MdiFactory> mdi_;
    QHash<QString, BillFactory> bills_;
};

// The shell's own windows (permission window).
void registerShellWindows(WindowCatalog &catalog);
