#pragma once
// The one connection of a running program (ADOConnection1) and its statements.
// Values always travel as bound parameters; named placeholders (":P_OrderID")
// are turned into positional ones here, so both engines see the same SQL.
#include "connection_string.h"
#include "dialect.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    DbError(const QString &message, const QString &sql = {})
        : std::runtime_error(message.toStdString()), message_(message), sql_(sql)
    {
    }
    // The server's own text.
    const QString &message() const { return message_; }
    const QString &sql() const { return sql_; }

private:
    QString message_;
    QString sql_;
};

struct Param {
    QString name;
    QVariant value;
};
using Params = QList<Param>;

// A fully read result: reading to the end at once keeps the connection free
// for the next statement on both engines.
class RowSet {
public:
    QStringList columns;
    QList<QVariantList> rows;

    int size() const { return int(rows.size()); }
    bool isEmpty() const { return rows.isEmpty(); }
    int indexOf(const QString &column) const; // case-insensitive, -1 when absent
    QVariant value(int row, const QString &column) const;
    QVariant value(int row, int column) const { return rows.at(row).at(column); }
};

// Conversions shared by everything that reads rows: both engines hand back
// text for numerics and dates in places, these give the C++ value.
namespace sqlvalue {
// What a C++ value is bound as: amounts as exact text, Booleans as 0/1,
// date-times as "yyyy-MM-dd HH:mm:ss" in local time on both engines.
QVariant toBind(const QVariant &value);
QString toString(const QVariant &value);
qlonglong toInt(const QVariant &value);
bool toBool(const QVariant &value);
QDateTime toDateTime(const QVariant &value);
} // namespace sqlvalue

class Database {
public:
    struct Options {
        QString databaseName = QStringLiteral("handset");
        bool createIfMissing = true; // make the PostgreSQL database, or the SQLite file
    };

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the engine the connection string's server text selects. Throws DbError
    // with the server's text on failure.
    void open(const ConnectionString &cs, const Options &options);
    void open(const ConnectionString &cs) { open(cs, Options{}); }
    void openSqlite(const QString &file, bool createIfMissing = true);
    void openPostgres(const QString &host, int port, const QString &user, const QString &password,
                      const QString &databaseName, bool createIfMissing = true);
    void close();
    bool isOpen() const;

    Engine engine() const { return dialect_.engine(); }
    const Dialect &dialect() const { return dialect_; }
    QSqlDatabase handle() const;
    QString describe() const; // file or host:port/database, for messages

    RowSet query(const QString &sql, const Params &params = {});
    // First column of the first row; invalid when there is no row.
    QVariant scalar(const QString &sql, const Params &params = {});
    // Runs a statement and returns the rows it changed.
    int exec(const QString &sql, const Params &params = {});
    // Runs an INSERT and returns the identity value it created.
    qlonglong insertReturningId(const QString &sql, const Params &params, const QString &idColumn);
    // Statements without parameters, as written (schema scripts).
    void execRaw(const QString &sql);

    // One transaction at a time on the connection; inner begin()s nest and only
    // the outermost commit() writes. A rollback anywhere undoes the whole.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return depth_ > 0; }

    // Turns ":name" placeholders into "?" outside quotes and comments; the
    // names come back in order of appearance.
    static QString positionalSql(const QString &sql, QStringList *names);
    // Escapes "%", "_" and the escape character itself for a LIKE pattern used
    // with ESCAPE '\'.
    static QString likeEscape(const QString &typed);

private:
    void configureSqlite();
    void prepareAndBind(class QSqlQuery &q, const QString &sql, const Params &params);
    [[noreturn]] void fail(const class QSqlError &error, const QString &sql) const;

    // Keeps a failed PostgreSQL statement until its transaction has ended: its
    // prepared statement can only be released once the transaction is no
    // longer aborted.
    void keepUntilTransactionEnds(const class QSqlQuery &q);

    QString connectionName_;
    Dialect dialect_{Engine::SQLite};
    QList<class QSqlQuery> failedInTransaction_;
    QString describe_;
    int depth_ = 0;
    bool rollbackOnly_ = false;
};

// Unit of work: begins on construction, rolls back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(Database &db) : db_(db) { db_.begin(); }
    ~Transaction()
    {
        if (!done_) {
            try {
                db_.rollback();
            } catch (...) {
            }
        }
    }
    void commit()
    {
        done_ = true;
        db_.commit();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Database &db_;
    bool done_ = false;
};
