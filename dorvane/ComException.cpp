#include "ComException.h"

#include "plinth/dialogs.h"

#include "com/registry.h"
#include "com/support.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr qint64 kLogLimit = 20000;
constexpr qint64 kLogKeep = 10000;
constexpr int kMaxPath = 260;
constexpr int kMaxMessage = 512;

// The log folder: "Install Location" of the IDE's key.
bool logFolder(std::string *folder)
{
    HKEY key;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Karrowin\\Developer\\8.0", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[kMaxPath];
    DWORD size = sizeof buffer, type = 0;
    const LONG rc = RegQueryValueEx(key, "Install Location", nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return false;
    *folder = buffer;
    return true;
}
} // namespace

CComException::CComException(HRESULT hr, const std::string &description) : CException(description, hr) {}

std::string CComException::Describe(HRESULT hr, IUnknown *object, REFIID iid)
{
    std::string text = com::takeErrorDescription(object, iid);
    if (text.empty())
        text = com::systemMessage(hr);
    if (text.empty())
        text = "Unknown error";
    return text;
}

void CheckHost(HRESULT hr, IUnknown *object, REFIID iid)
{
    if (FAILED(hr))
        throw CComException(hr, CComException::Describe(hr, object, iid));
}

bool AppendToLog(const char *file, int line, const QString &message)
{
    std::string folder;
    if (!logFolder(&folder))
        return false;
    QString path = QString::fromStdString(folder);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += QStringLiteral("kride.log");
    if (path.toUtf8().size() >= kMaxPath)
        return false;
    QByteArray entry = QFileInfo(QString::fromUtf8(file)).fileName().toUtf8() + ' ' + QByteArray::number(line) +
                       ": " + message.toUtf8();
    if (!entry.endsWith('\n'))
        entry += '\n';
    {
        QFile log(path);
        if (!log.open(QIODevice::Append | QIODevice::Text) || log.write(entry) != entry.size())
            return false;
    }
    QFile log(path);
    if (log.size() <= kLogLimit)
        return true;
    // Keep only the tail; the rewrite replaces the file in one step.
    if (!log.open(QIODevice::ReadOnly) || !log.seek(log.size() - kLogKeep))
        return true;
    const QByteArray tail = log.read(kLogKeep);
    log.close();
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(tail);
        out.commit();
    }
    return true;
}

void ReportException(const std::exception &e, const char *file, int line)
{
    if (const auto *com = dynamic_cast<const CComException *>(&e)) {
        const int code = HRESULT_CODE(com->GetHResult());
        if (code >= 2000 && code <= 2199) {
            plinth::MessageBox(nullptr, QString::fromStdString(com->GetErrorMessage()), plinth::MB_ICONEXCLAMATION);
            return;
        }
    }
    const QString message = QString::fromUtf8(e.what()).left(kMaxMessage);
    if (AppendToLog(file, line, message))
        return;
    plinth::MessageBox(nullptr,
                       message.isEmpty() ? QStringLiteral("Unknown exception encountered when trying to log exception")
                                         : message,
                       plinth::MB_ICONERROR, QStringLiteral("Error"));
}

void ReportUnknownException(const char *file, int line)
{
    ReportException(std::runtime_error(std::string()), file, line);
}
