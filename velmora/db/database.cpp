#include "database.h"

#include "money.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
QAtomicInteger<int> connectionCounter;
const char *kDateTimeFormat = "yyyy-MM-dd HH:mm:ss";

QString errorText(const QSqlError &e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    if (t.isEmpty())
        t = e.text().trimmed();
    return t;
}
} // namespace

// ---- values ---------------------------------------------------------------

QVariant sqlvalue::toBind(const QVariant &v)
{
    if (!v.isValid())
        return QVariant(QMetaType::fromType<QString>());
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().toString(4);
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QDateTime:
        return v.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(v.toDateTime().toString(kDateTimeFormat));
    case QMetaType::QDate:
        return v.isNull() ? QVariant(QMetaType::fromType<QString>())
                          : QVariant(v.toDate().startOfDay().toString(kDateTimeFormat));
    default:
        return v;
    }
}

QString sqlvalue::toString(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().toString(4);
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().toString(kDateTimeFormat);
    return v.toString();
}

qlonglong sqlvalue::toInt(const QVariant &v)
{
    if (v.isNull())
        return 0;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (ok)
        return n;
    return qlonglong(v.toString().trimmed().toDouble());
}

bool sqlvalue::toBool(const QVariant &v)
{
    if (v.isNull())
        return false;
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    const QString s = v.toString().trimmed().toLower();
    return !(s.isEmpty() || s == QLatin1String("0") || s == QLatin1String("false") || s == QLatin1String("f"));
}

QDateTime sqlvalue::toDateTime(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDateTime) {
        // Stored values carry no zone: keep the wall-clock reading as it was written.
        const QDateTime dt = v.toDateTime();
        return QDateTime(dt.date(), dt.time());
    }
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().startOfDay();
    const QString s = v.toString().trimmed();
    QDateTime dt = QDateTime::fromString(s, QString::fromLatin1(kDateTimeFormat));
    if (!dt.isValid())
        dt = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDate::fromString(s.left(10), Qt::ISODate).startOfDay();
    return dt.isValid() ? QDateTime(dt.date(), dt.time()) : QDateTime();
}

// ---- rows -----------------------------------------------------------------

int RowSet::indexOf(const QString &column) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant RowSet::value(int row, const QString &column) const
{
    const int c = indexOf(column);
    return c < 0 ? QVariant() : rows.at(row).at(c);
}

// ---- connection -----------------------------------------------------------

Database::Database()
    : connectionName_(QStringLiteral("velmora-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

Database::~Database() { close(); }

QSqlDatabase Database::handle() const { return QSqlDatabase::database(connectionName_, false); }

bool Database::isOpen() const
{
    return QSqlDatabase::contains(connectionName_) && handle().isOpen();
}

QString Database::describe() const { return describe_; }

void Database::close()
{
    failedInTransaction_.clear(); // before the connection goes
    if (!QSqlDatabase::contains(connectionName_))
        return;
    {
        QSqlDatabase db = handle();
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
    depth_ = 0;
    rollbackOnly_ = false;
}

void Database::open(const ConnectionString &cs, const Options &options)
{
    const ServerTarget target = ServerTarget::fromServerText(cs.dataSource);
    if (target.engine == Engine::SQLite)
        openSqlite(target.sqliteFile, options.createIfMissing);
    else
        openPostgres(target.host, target.port, cs.userId, cs.password, options.databaseName,
                     options.createIfMissing);
}

void Database::openSqlite(const QString &file, bool createIfMissing)
{
    close();
    if (!QFileInfo::exists(file)) {
        if (!createIfMissing)
            throw DbError(QStringLiteral("数据库文件不存在：%1").arg(file));
        QDir().mkpath(QFileInfo(file).absolutePath());
    }
    dialect_ = Dialect(Engine::SQLite);
    describe_ = file;
    QSqlError openError;
    {
        // The handle goes out of scope before a failed connection is removed.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        db.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!db.open())
            openError = db.lastError();
    }
    if (openError.isValid()) {
        close();
        throw DbError(errorText(openError));
    }
    try {
        configureSqlite();
    } catch (...) {
        close();
        throw;
    }
}

void Database::configureSqlite()
{
    // The first read also tells a file that is no database.
    execRaw(QStringLiteral("PRAGMA foreign_keys=ON"));
    query(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    query(QStringLiteral("PRAGMA journal_mode=WAL"));
    execRaw(QStringLiteral("PRAGMA synchronous=FULL"));
}

void Database::openPostgres(const QString &host, int port, const QString &user, const QString &password,
                            const QString &databaseName, bool createIfMissing)
{
    close();
    static const QRegularExpression safeName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!safeName.match(databaseName).hasMatch())
        throw DbError(QStringLiteral("invalid database name: %1").arg(databaseName));

    auto connect = [&](const QString &name, const QString &connName) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connName);
        db.setHostName(host);
        db.setPort(port);
        db.setUserName(user);
        db.setPassword(password);
        db.setDatabaseName(name);
        db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=Velmora"));
        db.setNumericalPrecisionPolicy(QSql::HighPrecision);
        const bool ok = db.open();
        return std::make_pair(ok, db.lastError());
    };

    dialect_ = Dialect(Engine::PostgreSQL);
    describe_ = QStringLiteral("%1:%2/%3").arg(host).arg(port).arg(databaseName);
    auto [ok, error] = connect(databaseName, connectionName_);
    if (ok) {
        execRaw(QStringLiteral("SET client_min_messages TO WARNING"));
        return;
    }
    QSqlDatabase::removeDatabase(connectionName_);
    if (!createIfMissing)
        throw DbError(errorText(error));

    // Perhaps only the database is missing: ask the maintenance database.
    const QString adminName = connectionName_ + QStringLiteral("-admin");
    bool created = false;
    {
        auto [adminOk, adminError] = connect(QStringLiteral("postgres"), adminName);
        Q_UNUSED(adminError);
        if (adminOk) {
            QSqlDatabase admin = QSqlDatabase::database(adminName, false);
            {
                QSqlQuery q(admin);
                q.prepare(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"));
                q.addBindValue(databaseName.toLower());
                const bool missing = q.exec() && !q.next();
                q.finish();
                if (missing) {
                    QSqlQuery c(admin);
                    if (!c.exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(databaseName)))
                        error = c.lastError();
                    else
                        created = true;
                }
            }
            admin.close();
        }
    }
    QSqlDatabase::removeDatabase(adminName);
    if (!created)
        throw DbError(errorText(error));
    auto [ok2, error2] = connect(databaseName, connectionName_);
    if (!ok2) {
        QSqlDatabase::removeDatabase(connectionName_);
        throw DbError(errorText(error2));
    }
    execRaw(QStringLiteral("SET client_min_messages TO WARNING"));
}

// ---- statements -----------------------------------------------------------

QString Database::positionalSql(const QString &sql, QStringList *names)
{
    QString out;
    out.reserve(sql.size());
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Quoted text or identifier, doubled quotes included.
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, j - i + 1);
            i = j;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            const int end = sql.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? n : end;
            out += sql.mid(i, stop - i);
            i = stop - 1;
            continue;
        }
        if (c == QLatin1Char(':')) {
            if (i + 1 < n && sql[i + 1] == QLatin1Char(':')) { // PostgreSQL cast
                out += QLatin1String("::");
                ++i;
                continue;
            }
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
                ++j;
            if (j > i + 1 && !sql[i + 1].isDigit()) {
                if (names)
                    names->append(sql.mid(i + 1, j - i - 1));
                out += QLatin1Char('?');
                i = j - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString Database::likeEscape(const QString &typed)
{
    QString s = typed;
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('%'), QLatin1String("\\%"));
    s.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return s;
}

void Database::fail(const QSqlError &error, const QString &sql) const { throw DbError(errorText(error), sql); }

void Database::prepareAndBind(QSqlQuery &q, const QString &sql, const Params &params)
{
    if (!isOpen())
        throw DbError(QStringLiteral("database not open"), sql);
    QStringList names;
    const QString positional = positionalSql(sql, &names);
    q.setForwardOnly(true);
    if (names.isEmpty()) {
        if (!q.exec(positional))
            fail(q.lastError(), sql);
        return;
    }
    if (!q.prepare(positional)) {
        keepUntilTransactionEnds(q);
        fail(q.lastError(), sql);
    }
    for (const QString &name : names) {
        const Param *found = nullptr;
        for (const Param &p : params)
            if (p.name.compare(name, Qt::CaseInsensitive) == 0) {
                found = &p;
                break;
            }
        if (!found)
            throw DbError(QStringLiteral("parameter :%1 has no value").arg(name), sql);
        q.addBindValue(sqlvalue::toBind(found->value));
    }
    if (!q.exec()) {
        keepUntilTransactionEnds(q);
        fail(q.lastError(), sql);
    }
}

void Database::keepUntilTransactionEnds(const QSqlQuery &q)
{
    if (engine() == Engine::PostgreSQL && depth_ > 0)
        failedInTransaction_.append(q);
}

RowSet Database::query(const QString &sql, const Params &params)
{
    QSqlQuery q(handle());
    prepareAndBind(q, sql, params);
    RowSet rs;
    const QSqlRecord rec = q.record();
    const int cols = rec.count();
    for (int i = 0; i < cols; ++i)
        rs.columns << rec.fieldName(i);
    while (q.next()) {
        QVariantList row;
        row.reserve(cols);
        for (int i = 0; i < cols; ++i)
            row << q.value(i);
        rs.rows << row;
    }
    if (q.lastError().isValid())
        fail(q.lastError(), sql);
    return rs;
}

QVariant Database::scalar(const QString &sql, const Params &params)
{
    const RowSet rs = query(sql, params);
    if (rs.isEmpty() || rs.columns.isEmpty())
        return {};
    return rs.value(0, 0);
}

int Database::exec(const QString &sql, const Params &params)
{
    QSqlQuery q(handle());
    prepareAndBind(q, sql, params);
    return q.numRowsAffected();
}

qlonglong Database::insertReturningId(const QString &sql, const Params &params, const QString &idColumn)
{
    const RowSet rs = query(sql + QStringLiteral(" RETURNING ") + idColumn, params);
    if (rs.isEmpty())
        throw DbError(QStringLiteral("insert returned no row"), sql);
    return sqlvalue::toInt(rs.value(0, 0));
}

void Database::execRaw(const QString &sql)
{
    if (!isOpen())
        throw DbError(QStringLiteral("database not open"), sql);
    QSqlQuery q(handle());
    if (!q.exec(sql))
        fail(q.lastError(), sql);
}

void Database::begin()
{
    if (depth_++ > 0)
        return;
    rollbackOnly_ = false;
    try {
        execRaw(dialect_.beginStatement());
    } catch (...) {
        depth_ = 0;
        throw;
    }
}

void Database::commit()
{
    if (depth_ <= 0)
        throw DbError(QStringLiteral("commit without a transaction"));
    if (--depth_ > 0)
        return;
    if (rollbackOnly_) {
        rollbackOnly_ = false;
        execRaw(QStringLiteral("ROLLBACK"));
        failedInTransaction_.clear();
        throw DbError(QStringLiteral("transaction rolled back by an inner unit of work"));
    }
    try {
        execRaw(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            execRaw(QStringLiteral("ROLLBACK"));
        } catch (...) {
        }
        failedInTransaction_.clear();
        throw;
    }
    failedInTransaction_.clear();
}

void Database::rollback()
{
    if (depth_ <= 0)
        return;
    if (--depth_ > 0) {
        rollbackOnly_ = true;
        return;
    }
    rollbackOnly_ = false;
    execRaw(QStringLiteral("ROLLBACK"));
    failedInTransaction_.clear();
}
