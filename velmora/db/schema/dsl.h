#pragma once
// Short constructors for the table descriptions of the subsystem schema files.
#include "schema.h"

namespace schemadsl {

inline ColumnDef identity(const QString &n) { return {n, ColumnKind::Identity, 0, true, {}}; }
inline ColumnDef text(const QString &n, int width, bool notNull = false, const QString &def = {})
{
    return {n, ColumnKind::Text, width, notNull, def};
}
inline ColumnDef integer(const QString &n, bool notNull = false, const QString &def = {})
{
    return {n, ColumnKind::Int, 0, notNull, def};
}
inline ColumnDef money(const QString &n, const QString &def = QStringLiteral("0"))
{
    return {n, ColumnKind::Money, 0, false, def};
}
inline ColumnDef real(const QString &n, const QString &def = QStringLiteral("0"))
{
    return {n, ColumnKind::Real, 0, false, def};
}
inline ColumnDef boolean(const QString &n, const QString &def = QStringLiteral("0"))
{
    return {n, ColumnKind::Bool, 0, false, def};
}
inline ColumnDef datetime(const QString &n) { return {n, ColumnKind::DateTime, 0, false, {}}; }

inline ForeignKey fk(const QString &column, const QString &table, const QString &refColumn)
{
    return {{column}, table, {refColumn}, false};
}
inline ForeignKey owner(const QString &column, const QString &table, const QString &refColumn)
{
    return {{column}, table, {refColumn}, true};
}
inline IndexDef index(const QString &name, const QStringList &cols) { return {name, cols, false, {}}; }
inline IndexDef unique(const QString &name, const QStringList &cols, const QString &where = {})
{
    return {name, cols, true, where};
}

} // namespace schemadsl
