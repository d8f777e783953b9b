#pragma once
// The database described as data: each subsystem contributes a SchemaPart
// (tables, indexes, views, initial rows), and this module turns them into
// DDL for either engine, creates, checks and upgrades a database.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class Database;
class Dialect;

enum class ColumnKind { Identity, Int, Text, Money, Real, Bool, DateTime };

struct ColumnDef {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int width = 0;       // text width; 0 = free length
    bool notNull = false;
    QString defaultSql;  // SQL literal, same on both engines
};

struct ForeignKey {
    QStringList columns;
    QString refTable;
    QStringList refColumns;
    bool cascadeDelete = false; // only for lines that belong to their master
};

struct IndexDef {
    QString name;
    QStringList columns;
    bool unique = false;
    QString where; // partial index condition
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
    QStringList primaryKey; // empty when an Identity column is the key
    QList<ForeignKey> foreignKeys;
    QList<IndexDef> indexes;

    const ColumnDef *column(const QString &name) const;
};

struct ViewDef {
    QString name;
    // Statements that create the view (and what makes it writable).
    std::function<QStringList(const Dialect &)> create;
    // Statements that drop what create() made, before the view itself.
    std::function<QStringList(const Dialect &)> drop;
};

struct SeedRows {
    QString table;
    QStringList columns; // the first column identifies a row
    QList<QVariantList> rows;
    // Essential rows must always exist: check() reports a missing one and
    // upgrade() puts it back. Others (the first user) are only created once.
    bool essential = true;
};

struct SchemaPart {
    QString name;
    QList<TableDef> tables;
    QList<ViewDef> views;
    QList<SeedRows> seeds;
};

namespace schema {

// Version written into SchemaInfo; raise it when a part adds tables or columns.
constexpr int Version = 2;

const QList<SchemaPart> &parts();
const TableDef *table(const QString &name); // case-insensitive
// The kind of a column: from its table when given and known, else from any
// table that has a column of that name.
ColumnKind columnKind(const QString &table, const QString &column, bool *known = nullptr);
// The declared spelling of a column name ("stockamount" → "StockAmount").
QString canonicalColumn(const QString &name);

QStringList createTableSql(const TableDef &t, const Dialect &d);

bool isEmpty(Database &db);
// Creates every table, index, view and initial row in one transaction.
void create(Database &db);
// Creates what a new database lacks; adds tables, columns and views that a
// newer program knows; never drops data.
void upgrade(Database &db);
// Creates an empty database, upgrades an older one.
void ensure(Database &db);
// What is missing or wrong; empty when the database is sound.
QStringList check(Database &db);
int storedVersion(Database &db);

QStringList existingTables(Database &db); // lower case
QStringList existingViews(Database &db);  // lower case

} // namespace schema

// Parts contributed by the subsystems, in dependency order.
SchemaPart shellSchema();
SchemaPart basedataSchema();
SchemaPart stockSchema();
SchemaPart goodsSchema();
SchemaPart moneySchema();
SchemaPart wagesSchema();
