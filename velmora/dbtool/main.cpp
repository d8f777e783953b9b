// velmora-db: creates, checks and upgrades the handset database for an administrator.
#include "database.h"
#include "schema/schema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: velmora-db init|check|upgrade --sqlite FILE\n"
               "       velmora-db init|check|upgrade --server HOST[:PORT] --user USER --password PASSWORD\n"
               "  init     create the database and its tables (an existing one is upgraded)\n"
               "  check    report whether the database is sound (exit status 1 when not)\n"
               "  upgrade  add the tables, columns and views a newer program needs\n",
               stderr);
    return 2;
}

void say(const QString &s) { std::fprintf(stdout, "%s\n", s.toLocal8Bit().constData()); }
void complain(const QString &s) { std::fprintf(stderr, "velmora-db: %s\n", s.toLocal8Bit().constData()); }

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quenlo"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    if (command != QLatin1String("init") && command != QLatin1String("check") && command != QLatin1String("upgrade"))
        return usage();

    QString sqlite, server, user, password;
    bool haveSqlite = false, haveServer = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto next = [&](QString &out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        if (a == QLatin1String("--sqlite") && next(sqlite))
            haveSqlite = true;
        else if (a == QLatin1String("--server") && next(server))
            haveServer = true;
        else if (a == QLatin1String("--user") && next(user)) {
        } else if (a == QLatin1String("--password") && next(password)) {
        } else
            return usage();
    }
    if (haveSqlite == haveServer)
        return usage();

    const bool create = command == QLatin1String("init");
    Database db;
    try {
        if (haveSqlite) {
            if (!create && !QFileInfo::exists(sqlite)) {
                complain(QStringLiteral("%1: no such database file").arg(sqlite));
                return 1;
            }
            db.openSqlite(QFileInfo(sqlite).absoluteFilePath(), create);
        } else {
            const ServerTarget t = ServerTarget::fromServerText(server);
            if (t.engine != Engine::PostgreSQL) {
                complain(QStringLiteral("--server needs a host name or address, not %1").arg(server));
                return 2;
            }
            db.openPostgres(t.host, t.port, user, password, QStringLiteral("handset"), create);
        }
        if (command == QLatin1String("init")) {
            const bool fresh = schema::isEmpty(db);
            schema::ensure(db);
            say(QStringLiteral("%1: %2").arg(db.describe(), fresh ? QStringLiteral("created") : QStringLiteral("up to date")));
        } else if (command == QLatin1String("upgrade")) {
            schema::upgrade(db);
            say(QStringLiteral("%1: upgraded to schema version %2").arg(db.describe()).arg(schema::Version));
        }
        const QStringList problems = schema::check(db);
        if (!problems.isEmpty()) {
            for (const QString &p : problems)
                complain(QStringLiteral("%1: %2").arg(db.describe(), p));
            return 1;
        }
        if (command == QLatin1String("check"))
            say(QStringLiteral("%1: sound (schema version %2)").arg(db.describe()).arg(schema::Version));
    } catch (const DbError &e) {
        complain(QStringLiteral("%1: %2").arg(db.describe().isEmpty() ? (haveSqlite ? sqlite : server) : db.describe(), e.message()));
        return 1;
    }
    return 0;
}
