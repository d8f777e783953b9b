#include "connection_string.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {
const QString kHead = QStringLiteral("Provider=SQLOLEDB.1;Password=");
const QString kAfterPassword = QStringLiteral(";Persist Security Info=False;User ID=");
const QString kAfterUser = QStringLiteral(";Initial Catalog=handset;Data Source=");
} // namespace

QString ConnectionString::toString() const
{
    return QStringLiteral("Provider=") + provider + QStringLiteral(";Password=") + password +
           QStringLiteral(";Persist Security Info=") + persistSecurityInfo + QStringLiteral(";User ID=") +
           userId + QStringLiteral(";Initial Catalog=") + initialCatalog + QStringLiteral(";Data Source=") +
           dataSource;
}

ConnectionString ConnectionString::fromLogin(const QString &server, const QString &user, const QString &password)
{
    ConnectionString cs;
    cs.dataSource = server;
    cs.userId = user;
    cs.password = password;
    return cs;
}

ConnectionString ConnectionString::parse(const QString &text)
{
    // The program's own form has fixed separators around the free texts; the
    // password ends at the first separator that follows it, the user name at the
    // next one, and the server text runs to the end.
    if (text.startsWith(kHead)) {
        const int p = text.indexOf(kAfterPassword, kHead.size());
        const int u = p < 0 ? -1 : text.indexOf(kAfterUser, p + kAfterPassword.size());
        if (u >= 0) {
            ConnectionString cs;
            cs.password = text.mid(kHead.size(), p - kHead.size());
            cs.userId = text.mid(p + kAfterPassword.size(), u - p - kAfterPassword.size());
            cs.dataSource = text.mid(u + kAfterUser.size());
            return cs;
        }
    }
    ConnectionString cs;
    cs.provider.clear();
    cs.persistSecurityInfo.clear();
    cs.initialCatalog.clear();
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toLower();
        const QString value = part.mid(eq + 1);
        if (key == QLatin1String("provider"))
            cs.provider = value;
        else if (key == QLatin1String("password"))
            cs.password = value;
        else if (key == QLatin1String("persist security info"))
            cs.persistSecurityInfo = value;
        else if (key == QLatin1String("user id"))
            cs.userId = value;
        else if (key == QLatin1String("initial catalog"))
            cs.initialCatalog = value;
        else if (key == QLatin1String("data source"))
            cs.dataSource = value;
    }
    return cs;
}

QString ServerTarget::defaultSqliteFile()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.local/share/Velmora");
    return QDir(dir).filePath(QStringLiteral("handset.db"));
}

ServerTarget ServerTarget::fromServerText(const QString &server)
{
    ServerTarget t;
    const QString s = server.trimmed();
    if (s.isEmpty() || s.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0) {
        t.sqliteFile = defaultSqliteFile();
        return t;
    }
    if (s.endsWith(QLatin1String(".db"), Qt::CaseInsensitive)) {
        t.sqliteFile = QFileInfo(s).absoluteFilePath();
        return t;
    }
    t.engine = Engine::PostgreSQL;
    t.host = s;
    // "host:port", "[v6::addr]:port"; a bare IPv6 address keeps the default port.
    if (s.startsWith(QLatin1Char('['))) {
        const int close = s.indexOf(QLatin1Char(']'));
        if (close > 0) {
            t.host = s.mid(1, close - 1);
            if (s.mid(close + 1).startsWith(QLatin1Char(':')))
                t.port = s.mid(close + 2).toInt();
        }
    } else if (s.count(QLatin1Char(':')) == 1) {
        const int colon = s.indexOf(QLatin1Char(':'));
        bool ok = false;
        const int port = s.mid(colon + 1).toInt(&ok);
        t.host = s.left(colon);
        if (ok && port > 0 && port < 65536)
            t.port = port;
    }
    return t;
}
