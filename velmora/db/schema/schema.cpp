#include "schema.h"

#include "../database.h"

#include <QSet>
#include <optional>

const ColumnDef *TableDef::column(const QString &n) const
{
    for (const ColumnDef &c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

namespace schema {

namespace {

const TableDef kSchemaInfo{QStringLiteral("SchemaInfo"),
                           {{QStringLiteral("Version"), ColumnKind::Int, 0, true, {}}},
                           {},
                           {},
                           {}};

QString columnType(const ColumnDef &c, const Dialect &d)
{
    switch (c.kind) {
    case ColumnKind::Identity:
        return d.identityPrimaryKey();
    case ColumnKind::Int:
        return QStringLiteral("INTEGER");
    case ColumnKind::Text:
        return d.textType(c.width);
    case ColumnKind::Money:
        return d.moneyType();
    case ColumnKind::Real:
        return d.realType();
    case ColumnKind::Bool:
        return d.boolType();
    case ColumnKind::DateTime:
        return d.dateTimeType();
    }
    return {};
}

QString columnSql(const ColumnDef &c, const Dialect &d)
{
    QString s = c.name + QLatin1Char(' ') + columnType(c, d);
    if (c.notNull && c.kind != ColumnKind::Identity)
        s += QStringLiteral(" NOT NULL");
    if (!c.defaultSql.isEmpty())
        s += QStringLiteral(" DEFAULT ") + c.defaultSql;
    return s;
}

QString indexSql(const TableDef &t, const IndexDef &ix)
{
    QString s = QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3(%4)")
                    .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), ix.name, t.name, ix.columns.join(u','));
    if (!ix.where.isEmpty())
        s += QStringLiteral(" WHERE ") + ix.where;
    return s;
}

QList<const TableDef *> allTables()
{
    QList<const TableDef *> out;
    for (const SchemaPart &p : parts())
        for (const TableDef &t : p.tables)
            out << &t;
    return out;
}

QStringList columnsOf(Database &db, const QString &table)
{
    const RowSet rs = db.query(QStringLiteral("SELECT * FROM %1 WHERE 1=0").arg(table));
    QStringList out;
    for (const QString &c : rs.columns)
        out << c.toLower();
    return out;
}

void insertSeed(Database &db, const SeedRows &seed, const QVariantList &row)
{
    QStringList marks;
    Params params;
    for (int i = 0; i < seed.columns.size(); ++i) {
        marks << QStringLiteral(":c%1").arg(i);
        params.append({QStringLiteral("c%1").arg(i), row.value(i)});
    }
    db.exec(QStringLiteral("INSERT INTO %1(%2) VALUES(%3)").arg(seed.table, seed.columns.join(u','), marks.join(u',')),
            params);
}

bool seedRowExists(Database &db, const SeedRows &seed, const QVariantList &row)
{
    return sqlvalue::toInt(db.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = :k").arg(seed.table, seed.columns[0]),
                                     {{QStringLiteral("k"), row.value(0)}})) > 0;
}

void createViews(Database &db, const QSet<QString> &skip)
{
    for (const SchemaPart &p : parts())
        for (const ViewDef &v : p.views)
            if (!skip.contains(v.name.toLower()))
                for (const QString &sql : v.create(db.dialect()))
                    db.execRaw(sql);
}

void writeVersion(Database &db)
{
    db.exec(QStringLiteral("DELETE FROM SchemaInfo"));
    db.exec(QStringLiteral("INSERT INTO SchemaInfo(Version) VALUES(:v)"), {{QStringLiteral("v"), Version}});
}

} // namespace

const TableDef *table(const QString &name)
{
    for (const TableDef *t : allTables())
        if (t->name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return nullptr;
}

ColumnKind columnKind(const QString &tableName, const QString &column, bool *known)
{
    if (known)
        *known = true;
    if (const TableDef *t = table(tableName))
        if (const ColumnDef *c = t->column(column))
            return c->kind;
    // By name alone only when every table agrees ("OrderID" is a bill number in
    // the bills but a head-row number in the stock tables: that stays text).
    std::optional<ColumnKind> found;
    for (const TableDef *t : allTables())
        if (const ColumnDef *c = t->column(column)) {
            const ColumnKind k = c->kind == ColumnKind::Identity ? ColumnKind::Int : c->kind;
            if (found && *found != k) {
                found.reset();
                break;
            }
            found = k;
        }
    if (found)
        return *found;
    if (known)
        *known = false;
    return ColumnKind::Text;
}

QString canonicalColumn(const QString &name)
{
    for (const TableDef *t : allTables())
        if (const ColumnDef *c = t->column(name))
            return c->name;
    return name;
}

QStringList createTableSql(const TableDef &t, const Dialect &d)
{
    QStringList defs;
    for (const ColumnDef &c : t.columns)
        defs << columnSql(c, d);
    if (!t.primaryKey.isEmpty())
        defs << QStringLiteral("PRIMARY KEY (%1)").arg(t.primaryKey.join(u','));
    for (const ForeignKey &fk : t.foreignKeys)
        defs << QStringLiteral("FOREIGN KEY (%1) REFERENCES %2(%3)%4")
                    .arg(fk.columns.join(u','), fk.refTable, fk.refColumns.join(u','),
                         fk.cascadeDelete ? QStringLiteral(" ON DELETE CASCADE") : QString());
    QStringList out;
    out << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n  %2\n)").arg(t.name, defs.join(QStringLiteral(",\n  ")));
    for (const IndexDef &ix : t.indexes)
        out << indexSql(t, ix);
    return out;
}

namespace {
// Names of the tables or views the database holds, in lower case.
QStringList existing(Database &db, bool views)
{
    const RowSet rs =
        db.engine() == Engine::SQLite
            ? db.query(QStringLiteral("SELECT name FROM sqlite_master WHERE type=:t"),
                       {{QStringLiteral("t"), views ? QStringLiteral("view") : QStringLiteral("table")}})
            : db.query(QStringLiteral("SELECT table_name FROM information_schema.tables "
                                      "WHERE table_schema = current_schema() AND table_type=:t"),
                       {{QStringLiteral("t"), views ? QStringLiteral("VIEW") : QStringLiteral("BASE TABLE")}});
    QStringList out;
    for (const QVariantList &r : rs.rows)
        out << r[0].toString().toLower();
    return out;
}
} // namespace

QStringList existingTables(Database &db) { return existing(db, false); }

QStringList existingViews(Database &db) { return existing(db, true); }

bool isEmpty(Database &db) { return !existingTables(db).contains(QStringLiteral("schemainfo")); }

int storedVersion(Database &db)
{
    if (isEmpty(db))
        return 0;
    return int(sqlvalue::toInt(db.scalar(QStringLiteral("SELECT max(Version) FROM SchemaInfo"))));
}

void create(Database &db)
{
    Transaction tx(db);
    for (const QString &sql : createTableSql(kSchemaInfo, db.dialect()))
        db.execRaw(sql);
    for (const TableDef *t : allTables())
        for (const QString &sql : createTableSql(*t, db.dialect()))
            db.execRaw(sql);
    createViews(db, {});
    for (const SchemaPart &p : parts())
        for (const SeedRows &seed : p.seeds)
            for (const QVariantList &row : seed.rows)
                insertSeed(db, seed, row);
    writeVersion(db);
    tx.commit();
}

void upgrade(Database &db)
{
    if (isEmpty(db)) {
        create(db);
        return;
    }
    Transaction tx(db);
    const QStringList tables = existingTables(db);
    for (const TableDef *t : allTables()) {
        if (!tables.contains(t->name.toLower())) {
            for (const QString &sql : createTableSql(*t, db.dialect()))
                db.execRaw(sql);
            continue;
        }
        const QStringList have = columnsOf(db, t->name);
        for (const ColumnDef &c : t->columns)
            if (!have.contains(c.name.toLower())) {
                ColumnDef added = c;
                added.notNull = false; // old rows have no value for it
                db.execRaw(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(t->name, columnSql(added, db.dialect())));
            }
        for (const IndexDef &ix : t->indexes)
            db.execRaw(indexSql(*t, ix));
    }
    // Views are rebuilt so that a newer definition replaces an older one.
    const QStringList views = existingViews(db);
    for (const SchemaPart &p : parts())
        for (const ViewDef &v : p.views)
            if (views.contains(v.name.toLower())) {
                if (v.drop)
                    for (const QString &sql : v.drop(db.dialect()))
                        db.execRaw(sql);
                db.execRaw(QStringLiteral("DROP VIEW %1").arg(v.name));
            }
    createViews(db, {});
    for (const SchemaPart &p : parts())
        for (const SeedRows &seed : p.seeds)
            if (seed.essential)
                for (const QVariantList &row : seed.rows)
                    if (!seedRowExists(db, seed, row))
                        insertSeed(db, seed, row);
    writeVersion(db);
    tx.commit();
}

void ensure(Database &db)
{
    if (isEmpty(db))
        create(db);
    else if (storedVersion(db) < Version)
        upgrade(db);
}

QStringList check(Database &db)
{
    QStringList problems;
    if (isEmpty(db))
        return {QStringLiteral("the database holds no Velmora tables")};
    const int version = storedVersion(db);
    if (version < Version)
        problems << QStringLiteral("schema version %1 is older than %2; run upgrade").arg(version).arg(Version);
    else if (version > Version)
        problems << QStringLiteral("schema version %1 is newer than this program (%2)").arg(version).arg(Version);
    const QStringList tables = existingTables(db);
    for (const TableDef *t : allTables()) {
        if (!tables.contains(t->name.toLower())) {
            problems << QStringLiteral("table %1 is missing").arg(t->name);
            continue;
        }
        const QStringList have = columnsOf(db, t->name);
        for (const ColumnDef &c : t->columns)
            if (!have.contains(c.name.toLower()))
                problems << QStringLiteral("column %1.%2 is missing").arg(t->name, c.name);
    }
    const QStringList views = existingViews(db);
    for (const SchemaPart &p : parts())
        for (const ViewDef &v : p.views)
            if (!views.contains(v.name.toLower()))
                problems << QStringLiteral("view %1 is missing").arg(v.name);
            else
                try {
                    db.query(QStringLiteral("SELECT * FROM %1 WHERE 1=0").arg(v.name));
                } catch (const DbError &e) {
                    problems << QStringLiteral("view %1 cannot be read: %2").arg(v.name, e.message());
                }
    if (!problems.isEmpty())
        return problems;
    for (const SchemaPart &p : parts())
        for (const SeedRows &seed : p.seeds)
            if (seed.essential)
                for (const QVariantList &row : seed.rows)
                    if (!seedRowExists(db, seed, row))
                        problems << QStringLiteral("initial row %1 of %2 is missing").arg(row.value(0).toString(), seed.table);
    if (db.engine() == Engine::SQLite) {
        const RowSet rs = db.query(QStringLiteral("PRAGMA integrity_check"));
        if (!rs.isEmpty() && rs.value(0, 0).toString() != QLatin1String("ok"))
            problems << QStringLiteral("integrity check: %1").arg(rs.value(0, 0).toString());
        const RowSet fk = db.query(QStringLiteral("PRAGMA foreign_key_check"));
        if (!fk.isEmpty())
            problems << QStringLiteral("%1 rows break a foreign key (first in table %2)").arg(fk.size()).arg(fk.value(0, 0).toString());
    }
    return problems;
}

const QList<SchemaPart> &parts()
{
    static const QList<SchemaPart> all{shellSchema(), basedataSchema(), stockSchema(), goodsSchema(), moneySchema(), wagesSchema()};
    return all;
}

} // namespace schema
