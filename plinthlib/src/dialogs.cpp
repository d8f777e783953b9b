#include "plinth/dialogs.h"
#include "plinth/module.h"
#include "plinth/propsheet.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

class QtDialogs final : public plinth::DialogService {
public:
    int messageBox(QWidget *parent, const QString &text, const QString &caption, unsigned type) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(caption);
        box.setText(text);
        switch (type & 0xF0) {
        case plinth::MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
        case plinth::MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case plinth::MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
        case plinth::MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        switch (type & 0xF) {
        case plinth::MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case plinth::MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        default: box.setStandardButtons(QMessageBox::Ok); break;
        }
        switch (box.exec()) {
        case QMessageBox::Cancel: return IDCANCEL;
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        default: return IDOK;
        }
    }

    std::optional<QString> browseForFolder(QWidget *parent, const QString &title, const QString &folder) override
    {
        const QString chosen = QFileDialog::getExistingDirectory(parent, title, folder);
        if (chosen.isEmpty())
            return std::nullopt;
        return QDir::toNativeSeparators(chosen);
    }

    QStringList openFiles(QWidget *parent, const QString &title, const QString &filter, const QString &initialPath,
                          bool multiple) override
    {
        if (multiple)
            return QFileDialog::getOpenFileNames(parent, title, initialPath, filter);
        const QString one = QFileDialog::getOpenFileName(parent, title, initialPath, filter);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }

    void showHelp(QWidget *, const QString &topic) override
    {
        if (topic.isEmpty())
            return;
        CTModule *m = CTModule::GetModule();
        const QString dir = m ? QFileInfo(QString::fromStdString(m->ModulePath())).absolutePath() : QDir::currentPath();
        QDesktopServices::openUrl(QUrl::fromLocalFile(dir + QStringLiteral("/help/") + topic));
    }
};

QtDialogs g_qtDialogs;
plinth::DialogService *g_service = nullptr;

} // namespace

namespace plinth {

DialogService &dialogs()
{
    return g_service ? *g_service : g_qtDialogs;
}

DialogService *setDialogService(DialogService *service)
{
    return std::exchange(g_service, service);
}

int MessageBox(QWidget *parent, const QString &text, unsigned type, const QString &caption)
{
    QString title = caption;
    if (title.isEmpty())
        if (CTModule *m = CTModule::GetModule())
            title = m->AppName();
    return dialogs().messageBox(parent, text, title, type);
}

QString qtFilterFromPipes(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        QString patterns = parts[i + 1];
        if (description.isEmpty() && patterns.isEmpty())
            break;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace plinth

bool KRBrowseForFolder(QWidget *window, const QString &title, QString &folder)
{
    const auto chosen = plinth::dialogs().browseForFolder(window, title, folder);
    if (!chosen)
        return false;
    folder = *chosen;
    return true;
}

bool IsValidPathUnit(const QString &name)
{
    if (name.isEmpty() || name.size() > 255 || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    }
    if (name.endsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char('.')))
        return false;
    // Device names cannot name a file, with or without an extension.
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                        QStringLiteral("NUL")};
    if (devices.contains(stem))
        return false;
    if (stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
        stem[3] >= QLatin1Char('1') && stem[3] <= QLatin1Char('9'))
        return false;
    return true;
}

CDragDropExplorerFileFolder::CDragDropExplorerFileFolder(QWidget *owner, int browseKind, const QString &filter,
                                                         const QString &, const QString &initialPath)
    : m_owner(owner), m_kind(browseKind), m_filter(filter), m_initialPath(initialPath)
{
}

CDragDropExplorerFileFolder::~CDragDropExplorerFileFolder() = default;

QStringList CDragDropExplorerFileFolder::GetArrayOfFiles(bool multiple)
{
    if (m_shown)
        return m_files;
    m_shown = true;
    if (m_kind == BrowseFolders) {
        QString folder = m_initialPath;
        if (KRBrowseForFolder(m_owner, QString(), folder))
            m_files = QStringList{folder};
    } else {
        m_files = plinth::dialogs().openFiles(m_owner, QString(), plinth::qtFilterFromPipes(m_filter), m_initialPath,
                                             multiple);
    }
    return m_files;
}
