#include "testdb.h"

#include "schema/schema.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QFile>

namespace {
QAtomicInteger<int> counter;
}

PgServer testPgServer()
{
    const QString path = qEnvironmentVariable("VELMORA_TEST_PG_FILE");
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "PostgreSQL test cluster not running (" << path.toStdString()
                      << " missing): run the tests through ctest, which starts it";
        throw DbError(QStringLiteral("no PostgreSQL test cluster"));
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    PgServer s;
    s.serverText = lines.value(0);
    s.host = s.serverText.section(QLatin1Char(':'), 0, 0);
    s.port = s.serverText.section(QLatin1Char(':'), 1, 1).toInt();
    s.user = lines.value(1);
    s.password = lines.value(2);
    return s;
}

ScratchDatabase::ScratchDatabase(Engine engine, bool withSchema) : engine_(engine), db_(std::make_unique<Database>())
{
    if (engine == Engine::SQLite) {
        file_ = dir_.filePath(QStringLiteral("handset.db"));
        db_->openSqlite(file_);
    } else {
        const PgServer s = testPgServer();
        name_ = QStringLiteral("vt_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddRelaxed(1));
        db_->openPostgres(s.host, s.port, s.user, s.password, name_, true);
    }
    if (withSchema)
        schema::create(*db_);
}

std::unique_ptr<Database> ScratchDatabase::connectAgain() const
{
    auto db = std::make_unique<Database>();
    openLike(*db);
    return db;
}

void ScratchDatabase::openLike(Database &db) const
{
    if (engine_ == Engine::SQLite) {
        db.openSqlite(file_, false);
    } else {
        const PgServer s = testPgServer();
        db.openPostgres(s.host, s.port, s.user, s.password, name_, false);
    }
}

ScratchDatabase::~ScratchDatabase()
{
    db_->close();
    if (engine_ == Engine::PostgreSQL) {
        try {
            const PgServer s = testPgServer();
            Database admin;
            admin.openPostgres(s.host, s.port, s.user, s.password, QStringLiteral("postgres"), false);
            admin.execRaw(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
        } catch (...) {
        }
    }
}
