// Every modal question a component asks goes through one dialog service,
// so tests can answer it.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace plinth {

// Message box types and icons, as the components pass them.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

class DialogService {
public:
    virtual ~DialogService() = default;
    // Returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int messageBox(QWidget *parent, const QString &text, const QString &caption, unsigned type) = 0;
    virtual std::optional<QString> browseForFolder(QWidget *parent, const QString &title, const QString &folder) = 0;
    // filter in Qt's form ("Name (*.ext)"); empty when cancelled.
    virtual QStringList openFiles(QWidget *parent, const QString &title, const QString &filter,
                                  const QString &initialPath, bool multiple) = 0;
    virtual void showHelp(QWidget *parent, const QString &topic) = 0;
};

// The service in use; real dialogs unless one was installed.
DialogService &dialogs();
// Installs a service (null restores the real dialogs); returns the previous one.
DialogService *setDialogService(DialogService *service);

// A message box of the current module (its name as caption unless given).
int MessageBox(QWidget *parent, const QString &text, unsigned type, const QString &caption = {});

// Converts "Description|pattern;pattern|...||" to Qt's filter list.
QString qtFilterFromPipes(const QString &filter);

} // namespace plinth

// Folder picker: true and the chosen folder, false when cancelled.
bool KRBrowseForFolder(QWidget *window, const QString &title, QString &folder);

// True when the text may serve as one file or folder name.
bool IsValidPathUnit(const QString &name);

// The file-and-folder browser.
class CDragDropExplorerFileFolder {
public:
    enum BrowseKind { BrowseFiles = 0, BrowseFolders = 1 };
    CDragDropExplorerFileFolder(QWidget *owner, int browseKind, const QString &filter, const QString &unused,
                                const QString &initialPath);
    ~CDragDropExplorerFileFolder();
    // Shows the browser (once) and returns the chosen entries; empty when
    // cancelled. multiple = false asks for one.
    QStringList GetArrayOfFiles(bool multiple);

private:
    QWidget *m_owner;
    int m_kind;
    QString m_filter;
    QString m_initialPath;
    bool m_shown = false;
    QStringList m_files;
};
