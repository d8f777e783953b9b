#pragma once
// The main window: MDI frame, menus, tool bars, floating tool-bar panels,
// status bar; every command checks the user's rights first.
#include <QHash>
#include <QMainWindow>
#include <QRect>

class QAction;
class QLabel;
class QMdiArea;
class QToolBar;
class ToolPanel;
class WindowCatalog;
struct AppContext;

class TFmain : public QMainWindow {
    Q_OBJECT
public:
    TFmain(AppContext &app, const WindowCatalog &catalog, QWidget *parent = nullptr);
    ~TFmain() override;

    // The menu or tool command by its item caption ("进货单", "重新登录", ...).
    QAction *command(const QString &item) const { return actions_.value(item); }
    QAction *panelToggle(const QString &panelKey) const { return toggles_.value(panelKey); }
    void run(const QString &item);
    QMdiArea *mdiArea() const { return mdi_; }
    QWidget *panel(const QString &registryKey) const;
    QLabel *hintPanel() const { return hint_; }
    QRect rememberedGeometry() const { return geometry_; }

    // Shows the remembered panels (done once after login).
    void restorePanels();
    void closeAllChildren();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class ToolPanel;
    void buildMenus();
    void buildToolBars();
    void openWindow(const QString &item, const QString &permission);
    void openBill(const QString &item, const QString &permission);
    void togglePanel(const QString &key);
    void showPanel(const QString &key);
    void panelClosed(const QString &key, const QRect &geometry);

    AppContext &app_;
    const WindowCatalog &catalog_;
    QMdiArea *mdi_;
    QLabel *hint_;
    QHash<QString, QAction *> actions_;
    QHash<QString, QAction *> toggles_;
    QHash<QString, ToolPanel *> panels_;
    QRect geometry_; // of the panel closed last; shared by all panels
    bool exitConfirmed_ = false;
};
