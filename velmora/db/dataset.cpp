#include "dataset.h"

#include <QDateTime>

namespace {
bool isNull(const QVariant &v) { return !v.isValid() || v.isNull(); }
} // namespace

DataSet::DataSet(Database *db, QObject *parent) : QObject(parent), db_(db) {}

DataSet::~DataSet() = default;

void DataSet::setParam(const QString &name, const QVariant &value)
{
    for (Param &p : params_)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) {
            p.value = value;
            return;
        }
    params_.append({name, value});
}

void DataSet::setUpdateTable(const QString &table, const QStringList &keyColumns, const QStringList &columns)
{
    updateTable_ = table;
    keyColumns_ = keyColumns;
    updateColumns_ = columns;
    if (keyColumns_.isEmpty())
        if (const TableDef *t = schema::table(table)) {
            keyColumns_ = t->primaryKey;
            for (const ColumnDef &c : t->columns)
                if (c.kind == ColumnKind::Identity)
                    keyColumns_ = {c.name};
        }
}

void DataSet::addCalculatedField(const QString &name, const QString &label, ColumnKind kind)
{
    Field f;
    f.name = name;
    f.displayLabel = label;
    f.calculated = true;
    f.readOnly = true;
    f.kind = kind;
    calcFields_.append(f);
}

// ---- opening ----------------------------------------------------------------

void DataSet::open()
{
    if (isActive())
        close();
    const RowSet rs = db_->query(sql_, params_);
    const QList<Field> previous = fields_;
    fields_.clear();
    auto carry = [&](Field f) {
        for (const Field &old : previous)
            if (old.name.compare(f.name, Qt::CaseInsensitive) == 0) {
                const ColumnKind kind = f.kind;
                f = old;
                f.kind = kind;
            }
        fields_.append(f);
    };
    for (const QString &column : rs.columns) {
        Field f;
        f.name = schema::canonicalColumn(column);
        f.kind = schema::columnKind(updateTable_, f.name);
        if (f.kind == ColumnKind::Identity)
            f.kind = ColumnKind::Int;
        if (f.kind == ColumnKind::Money)
            f.displayFormat = QStringLiteral("#,###.00");
        carry(f);
    }
    for (const Field &f : calcFields_)
        carry(f);

    const int stored = int(rs.columns.size());
    rows_.clear();
    rows_.reserve(rs.size());
    for (const QVariantList &raw : rs.rows) {
        Record r;
        r.values.reserve(fields_.size());
        for (int i = 0; i < fields_.size(); ++i)
            r.values << (i < stored ? normalize(raw[i], fields_[i].kind) : QVariant());
        r.original = r.values;
        rows_.append(r);
    }
    deleted_.clear();
    state_ = State::Browse;
    for (int i = 0; i < rows_.size(); ++i)
        calc(i);
    current_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    emit dataReset();
    emit stateChanged();
    emit currentChanged(current_);
}

void DataSet::close()
{
    rows_.clear();
    deleted_.clear();
    current_ = -1;
    bof_ = eof_ = true;
    if (state_ != State::Inactive) {
        state_ = State::Inactive;
        emit dataReset();
        emit stateChanged();
    }
}

void DataSet::refresh()
{
    const int keep = current_;
    open();
    if (keep >= 0 && !rows_.isEmpty())
        moveTo(std::min(keep, recordCount() - 1));
}

int DataSet::execSql() { return db_->exec(sql_, params_); }

// ---- moving -------------------------------------------------------------------

void DataSet::requireActive() const
{
    if (state_ == State::Inactive)
        throw DbError(QStringLiteral("data set is closed"));
}

void DataSet::requireCurrent() const
{
    requireActive();
    if (current_ < 0 || current_ >= rows_.size())
        throw DbError(QStringLiteral("no current record"));
}

void DataSet::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    emit stateChanged();
}

void DataSet::setCurrent(int row)
{
    if (row == current_)
        return;
    current_ = row;
    emit currentChanged(row);
}

void DataSet::first()
{
    requireActive();
    if (isEditing())
        post();
    setCurrent(rows_.isEmpty() ? -1 : 0);
    bof_ = true;
    eof_ = rows_.isEmpty();
}

void DataSet::last()
{
    requireActive();
    if (isEditing())
        post();
    setCurrent(int(rows_.size()) - 1);
    eof_ = true;
    bof_ = rows_.isEmpty();
}

void DataSet::next()
{
    requireActive();
    if (isEditing())
        post();
    bof_ = false;
    if (current_ + 1 < rows_.size())
        setCurrent(current_ + 1);
    else
        eof_ = true;
}

void DataSet::prior()
{
    requireActive();
    if (isEditing())
        post();
    eof_ = false;
    if (current_ > 0)
        setCurrent(current_ - 1);
    else
        bof_ = true;
}

bool DataSet::moveTo(int row)
{
    requireActive();
    if (row < 0 || row >= rows_.size())
        return false;
    if (row != current_ && isEditing())
        post();
    bof_ = eof_ = false;
    setCurrent(row);
    return true;
}

bool DataSet::locate(const QString &name, const QVariant &value)
{
    const int f = fieldIndex(name);
    if (f < 0)
        return false;
    const QVariant want = normalize(value, fields_[f].kind);
    for (int r = 0; r < rows_.size(); ++r)
        if (rows_[r].values[f] == want) {
            moveTo(r);
            return true;
        }
    return false;
}

// ---- fields and values -------------------------------------------------------

int DataSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Field &DataSet::field(const QString &name)
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("field %1 not found").arg(name));
    return fields_[i];
}

QVariant DataSet::normalize(const QVariant &v, ColumnKind kind) const
{
    if (isNull(v))
        return {};
    switch (kind) {
    case ColumnKind::Money: {
        if (v.metaType().id() == QMetaType::QString && v.toString().trimmed().isEmpty())
            return {};
        bool ok = false;
        const Money m = Money::fromVariant(v, &ok);
        return ok ? QVariant::fromValue(m) : QVariant();
    }
    case ColumnKind::Bool:
        return sqlvalue::toBool(v);
    case ColumnKind::Int:
    case ColumnKind::Identity: {
        if (v.metaType().id() == QMetaType::QString && v.toString().trimmed().isEmpty())
            return {};
        const qlonglong n = sqlvalue::toInt(v);
        return (n >= INT_MIN && n <= INT_MAX) ? QVariant(int(n)) : QVariant(n);
    }
    case ColumnKind::DateTime: {
        const QDateTime dt = sqlvalue::toDateTime(v);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case ColumnKind::Real:
        return v.toDouble();
    case ColumnKind::Text:
        break;
    }
    return v.metaType() == QMetaType::fromType<Money>() ? QVariant(v.value<Money>().toString(4)) : QVariant(v.toString());
}

QVariant DataSet::value(const QString &name) const
{
    const int f = fieldIndex(name);
    if (f < 0)
        throw DbError(QStringLiteral("field %1 not found").arg(name));
    if (current_ < 0 || current_ >= rows_.size())
        return {};
    return rows_[current_].values[f];
}

QVariant DataSet::valueAt(int row, int f) const
{
    if (row < 0 || row >= rows_.size() || f < 0 || f >= fields_.size())
        return {};
    return rows_[row].values[f];
}

QVariant DataSet::oldValue(const QString &name) const
{
    const int f = fieldIndex(name);
    if (f < 0 || current_ < 0 || current_ >= rows_.size())
        return {};
    return rows_[current_].original[f];
}

QString DataSet::text(const QString &name) const { return sqlvalue::toString(value(name)); }
qlonglong DataSet::integer(const QString &name) const { return sqlvalue::toInt(value(name)); }
Money DataSet::money(const QString &name) const { return Money::fromVariant(value(name)); }
bool DataSet::boolean(const QString &name) const { return sqlvalue::toBool(value(name)); }
QDateTime DataSet::dateTime(const QString &name) const { return sqlvalue::toDateTime(value(name)); }

QString DataSet::displayText(int row, int f) const
{
    const QVariant v = valueAt(row, f);
    const Field &fd = fields_.at(f);
    if (isNull(v))
        return {};
    switch (fd.kind) {
    case ColumnKind::Money:
        return fd.displayFormat == QLatin1String("#,###.00") ? v.value<Money>().toDisplay() : v.value<Money>().toString(2);
    case ColumnKind::Bool: {
        const QStringList names = fd.displayFormat.split(QLatin1Char(';'));
        if (names.size() == 2)
            return v.toBool() ? names[0] : names[1];
        return v.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    }
    case ColumnKind::DateTime: {
        const QDateTime dt = v.toDateTime();
        if (!fd.displayFormat.isEmpty())
            return dt.toString(fd.displayFormat);
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    default:
        return v.toString();
    }
}

void DataSet::setValue(const QString &name, const QVariant &v)
{
    requireCurrent();
    const int f = fieldIndex(name);
    if (f < 0)
        throw DbError(QStringLiteral("field %1 not found").arg(name));
    setValueAt(current_, f, v);
}

void DataSet::setValueAt(int row, int f, const QVariant &v)
{
    if (row < 0 || row >= rows_.size() || f < 0 || f >= fields_.size())
        throw DbError(QStringLiteral("no such cell"));
    const QVariant n = normalize(v, fields_[f].kind);
    if (fields_[f].calculated) {
        rows_[row].values[f] = n;
        return;
    }
    if (readOnly_)
        throw DbError(QStringLiteral("data set is read-only"));
    if (row != current_)
        moveTo(row);
    if (state_ == State::Browse)
        edit();
    if (rows_[row].values[f] == n && isNull(rows_[row].values[f]) == isNull(n))
        return;
    rows_[row].values[f] = n;
    calc(row);
    emit rowChanged(row);
    if (onFieldChanged && !inFieldHook_) {
        inFieldHook_ = true;
        try {
            onFieldChanged(*this, fields_[f].name);
        } catch (...) {
            inFieldHook_ = false;
            throw;
        }
        inFieldHook_ = false;
    }
    if (autoPost_ && !inFieldHook_ && state_ == State::Edit)
        post();
}

void DataSet::setValueQuietly(int row, const QString &name, const QVariant &v)
{
    const int f = fieldIndex(name);
    if (row < 0 || row >= rows_.size() || f < 0)
        throw DbError(QStringLiteral("no such cell"));
    rows_[row].values[f] = normalize(v, fields_[f].kind);
    if (rows_[row].status == Status::Unchanged)
        rows_[row].status = Status::Modified;
    emit rowChanged(row);
}

void DataSet::calc(int row)
{
    if (onCalcFields && !calcFields_.isEmpty())
        onCalcFields(*this, row);
}

// ---- editing -------------------------------------------------------------------

void DataSet::append()
{
    requireActive();
    if (readOnly_)
        throw DbError(QStringLiteral("data set is read-only"));
    if (isEditing())
        post();
    Record r;
    for (int i = 0; i < fields_.size(); ++i)
        r.values << QVariant();
    r.original = r.values;
    r.status = Status::Inserted;
    rows_.append(r);
    const int row = int(rows_.size()) - 1;
    bof_ = eof_ = false;
    setState(State::Insert);
    current_ = row;
    emit rowInserted(row);
    emit currentChanged(row);
    if (onNewRecord)
        onNewRecord(*this);
    calc(row);
    emit rowChanged(row);
}

void DataSet::edit()
{
    requireCurrent();
    if (isEditing())
        return;
    if (readOnly_)
        throw DbError(QStringLiteral("data set is read-only"));
    editBackup_ = rows_[current_].values;
    setState(State::Edit);
}

void DataSet::post()
{
    if (!isEditing())
        return;
    if (batch_) {
        if (beforePost)
            beforePost(*this); // AbortError leaves the row in edit
        Record &r = rows_[current_];
        if (state_ == State::Edit && r.status == Status::Unchanged && r.values != r.original)
            r.status = Status::Modified;
        editBackup_.clear();
        setState(State::Browse);
        calc(current_);
        emit rowChanged(current_);
        if (afterPost)
            afterPost(*this);
        return;
    }
    // Checks (which may ask the user) run before the write locks anything; the
    // write and whatever the after-post hook does with it are one unit.
    if (beforePost)
        beforePost(*this); // AbortError leaves the row in edit
    const Record before = rows_[current_];
    const State wasState = state_;
    try {
        Transaction tx(*db_);
        Record &r = rows_[current_];
        if (state_ == State::Insert)
            writeInsert(r);
        else
            writeUpdate(r);
        r.status = Status::Unchanged;
        r.original = r.values;
        setState(State::Browse);
        if (afterPost)
            afterPost(*this);
        tx.commit();
    } catch (...) {
        rows_[current_] = before;
        setState(wasState);
        throw;
    }
    editBackup_.clear();
    calc(current_);
    emit rowChanged(current_);
}

void DataSet::cancel()
{
    if (state_ == State::Insert) {
        const int row = current_;
        rows_.removeAt(row);
        setState(State::Browse);
        emit rowRemoved(row);
        current_ = rows_.isEmpty() ? -1 : std::min(row, int(rows_.size()) - 1);
        eof_ = bof_ = rows_.isEmpty();
        emit currentChanged(current_);
    } else if (state_ == State::Edit) {
        rows_[current_].values = editBackup_;
        editBackup_.clear();
        setState(State::Browse);
        emit rowChanged(current_);
    }
}

void DataSet::remove()
{
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    requireCurrent();
    if (readOnly_)
        throw DbError(QStringLiteral("data set is read-only"));
    if (state_ == State::Edit)
        cancel();
    if (beforeDelete)
        beforeDelete(*this);
    const int row = current_;
    if (!batch_) {
        writeDelete(rows_[row]);
    } else if (rows_[row].status != Status::Inserted) {
        deleted_.append(rows_[row]);
    }
    rows_.removeAt(row);
    emit rowRemoved(row);
    current_ = rows_.isEmpty() ? -1 : std::min(row, int(rows_.size()) - 1);
    eof_ = bof_ = rows_.isEmpty();
    emit currentChanged(current_);
}

bool DataSet::hasPendingUpdates() const
{
    if (!deleted_.isEmpty() || isEditing())
        return true;
    for (const Record &r : rows_)
        if (r.status != Status::Unchanged)
            return true;
    return false;
}

bool DataSet::isRowStored(int row) const
{
    return row >= 0 && row < rows_.size() && rows_[row].status != Status::Inserted;
}

void DataSet::applyUpdates()
{
    if (isEditing())
        post();
    if (!hasPendingUpdates())
        return;
    const QList<Record> before = rows_;
    try {
        Transaction tx(*db_);
        for (const Record &r : deleted_)
            writeDelete(r);
        for (Record &r : rows_) {
            if (r.status == Status::Modified)
                writeUpdate(r);
            else if (r.status == Status::Inserted)
                writeInsert(r);
        }
        tx.commit();
    } catch (...) {
        rows_ = before; // identities given by a rolled-back insert are void
        throw;
    }
    for (Record &r : rows_) {
        r.status = Status::Unchanged;
        r.original = r.values;
    }
    deleted_.clear();
    emit dataReset();
}

void DataSet::cancelUpdates()
{
    if (isEditing())
        cancel();
    QList<Record> kept;
    for (Record &r : rows_) {
        if (r.status == Status::Inserted)
            continue;
        r.values = r.original;
        r.status = Status::Unchanged;
        kept.append(r);
    }
    kept.append(deleted_);
    rows_ = kept;
    deleted_.clear();
    for (int i = 0; i < rows_.size(); ++i)
        calc(i);
    current_ = rows_.isEmpty() ? -1 : 0;
    emit dataReset();
    emit currentChanged(current_);
}

// ---- writing --------------------------------------------------------------------

void DataSet::checkUpdatable() const
{
    if (updateTable_.isEmpty())
        throw DbError(QStringLiteral("data set has no update table"));
}

QStringList DataSet::writableColumns() const
{
    QStringList out;
    const TableDef *t = schema::table(updateTable_);
    for (const Field &f : fields_) {
        if (f.calculated)
            continue;
        if (!updateColumns_.isEmpty() && !updateColumns_.contains(f.name, Qt::CaseInsensitive))
            continue;
        if (updateColumns_.isEmpty() && t && !t->column(f.name))
            continue;
        out << f.name;
    }
    return out;
}

Params DataSet::keyParams(const Record &r) const
{
    Params p;
    for (int i = 0; i < keyColumns_.size(); ++i) {
        const int f = fieldIndex(keyColumns_[i]);
        if (f < 0)
            throw DbError(QStringLiteral("key field %1 is not in the data set").arg(keyColumns_[i]));
        p.append({QStringLiteral("k%1").arg(i), r.original[f]});
    }
    return p;
}

namespace {
QString keyWhere(const QStringList &keys)
{
    QStringList parts;
    for (int i = 0; i < keys.size(); ++i)
        parts << QStringLiteral("%1 = :k%2").arg(keys[i]).arg(i);
    return parts.join(QStringLiteral(" AND "));
}
} // namespace

void DataSet::writeInsert(Record &r)
{
    checkUpdatable();
    QStringList cols, marks;
    Params params;
    for (const QString &c : writableColumns()) {
        const QVariant v = r.values[fieldIndex(c)];
        if (isNull(v))
            continue; // the column's default applies
        marks << QStringLiteral(":v%1").arg(params.size());
        params.append({QStringLiteral("v%1").arg(params.size()), v});
        cols << c;
    }
    const QString sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(updateTable_)
                                       : QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                                             .arg(updateTable_, cols.join(u','), marks.join(u','));
    QString identity;
    if (const TableDef *t = schema::table(updateTable_))
        for (const ColumnDef &c : t->columns)
            if (c.kind == ColumnKind::Identity && fieldIndex(c.name) >= 0 && isNull(r.values[fieldIndex(c.name)]))
                identity = c.name;
    if (identity.isEmpty()) {
        db_->exec(sql, params);
    } else {
        const qlonglong id = db_->insertReturningId(sql, params, identity);
        r.values[fieldIndex(identity)] = normalize(id, ColumnKind::Int);
    }
}

void DataSet::writeUpdate(Record &r)
{
    checkUpdatable();
    if (keyColumns_.isEmpty())
        throw DbError(QStringLiteral("data set has no key to update by"));
    QStringList sets;
    Params params = keyParams(r);
    for (const QString &c : writableColumns()) {
        const int f = fieldIndex(c);
        if (r.values[f] == r.original[f] && isNull(r.values[f]) == isNull(r.original[f]))
            continue;
        sets << QStringLiteral("%1 = :v%2").arg(c).arg(params.size());
        params.append({QStringLiteral("v%1").arg(params.size()), r.values[f]});
    }
    if (sets.isEmpty())
        return;
    const int n = db_->exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(updateTable_, sets.join(QStringLiteral(", ")), keyWhere(keyColumns_)),
                            params);
    // A view written through triggers reports no rows on SQLite; a table must.
    if (n == 0 && schema::table(updateTable_))
        throw DbError(QStringLiteral("记录已被其它用户修改或删除。"));
}

void DataSet::writeDelete(const Record &r)
{
    checkUpdatable();
    if (keyColumns_.isEmpty())
        throw DbError(QStringLiteral("data set has no key to delete by"));
    db_->exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(updateTable_, keyWhere(keyColumns_)), keyParams(r));
}
