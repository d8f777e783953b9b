#pragma once
// A data set in the manner the windows expect: a query's rows held in memory
// with a current row, browse/edit/insert states, before-post checks and
// new-record defaults, calculated fields, and a batch mode that keeps every
// insert, change and delete until one applyUpdates() (or cancelUpdates()).
#include "database.h"
#include "money.h"
#include "schema/schema.h"

#include <QObject>
#include <functional>

// Thrown by a before-post or before-delete hook to refuse quietly: the data
// set stays as it was (in edit or insert).
class AbortError : public std::exception {
public:
    const char *what() const noexcept override { return "aborted"; }
};

struct Field {
    QString name;
    QString displayLabel; // empty: the name
    bool visible = true;
    int tag = 0;
    QString displayFormat; // "#,###.00" for amounts; a QDateTime format for dates
    bool calculated = false;
    bool readOnly = false;
    ColumnKind kind = ColumnKind::Text;
    int displayWidth = 0;

    QString label() const { return displayLabel.isEmpty() ? name : displayLabel; }
};

class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit DataSet(Database *db, QObject *parent = nullptr);
    ~DataSet() override;

    Database *database() const { return db_; }
    void setSql(const QString &sql) { sql_ = sql; }
    const QString &sql() const { return sql_; }
    void setParam(const QString &name, const QVariant &value);
    void clearParams() { params_.clear(); }

    // Where posts and batch writes go: the table (or writable view), its key
    // columns and the columns written (empty: every stored field the table has).
    void setUpdateTable(const QString &table, const QStringList &keyColumns, const QStringList &columns = {});
    const QString &updateTable() const { return updateTable_; }
    void setBatchMode(bool on) { batch_ = on; }
    bool batchMode() const { return batch_; }
    void setReadOnly(bool on) { readOnly_ = on; }
    // Posts each change at once (check-box grids).
    void setAutoPost(bool on) { autoPost_ = on; }
    bool readOnly() const { return readOnly_; }

    // Declared before open(); filled by onCalcFields for each row.
    void addCalculatedField(const QString &name, const QString &label = {}, ColumnKind kind = ColumnKind::Int);

    std::function<void(DataSet &)> onNewRecord;
    std::function<void(DataSet &)> beforePost;
    std::function<void(DataSet &)> afterPost;
    std::function<void(DataSet &)> beforeDelete;
    std::function<void(DataSet &, int row)> onCalcFields;
    // After a field of the current row was changed through setValue.
    std::function<void(DataSet &, const QString &field)> onFieldChanged;

    void open();
    void close();
    // Reopens with the same SQL and parameters, keeping the row number.
    void refresh();
    // Runs the SQL as a statement; returns the rows changed.
    int execSql();
    bool isActive() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Edit || state_ == State::Insert; }

    int recordCount() const { return int(rows_.size()); }
    bool isEmpty() const { return rows_.isEmpty(); }
    int recNo() const { return current_; } // -1 when empty
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    void first();
    void last();
    void next();
    void prior();
    bool moveTo(int row);
    // First row at or after the current one whose field equals value; stays when none.
    bool locate(const QString &field, const QVariant &value);

    const QList<Field> &fields() const { return fields_; }
    int fieldIndex(const QString &name) const; // case-insensitive, -1 when absent
    Field &field(const QString &name);
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }

    QVariant value(const QString &name) const;
    QVariant valueAt(int row, int field) const;
    // The current row's value as read or last written (before this edit).
    QVariant oldValue(const QString &name) const;
    QString text(const QString &name) const;
    qlonglong integer(const QString &name) const;
    Money money(const QString &name) const;
    bool boolean(const QString &name) const;
    QDateTime dateTime(const QString &name) const;
    // Shown text: amounts "#,###.00", Booleans "是"/"否", dates by their format.
    QString displayText(int row, int field) const;

    // Sets a field of the current row; a row in browse goes into edit first.
    void setValue(const QString &name, const QVariant &value);
    void setValueAt(int row, int field, const QVariant &value);
    // Bookkeeping a save fills in (a bill number, a cost): no edit state, no
    // checks or hooks; in batch mode the row is written with the others.
    void setValueQuietly(int row, const QString &field, const QVariant &value);

    void append();
    void edit();
    void post();
    void cancel();
    void remove();

    void applyUpdates();
    void cancelUpdates();
    bool hasPendingUpdates() const;
    // The row in memory wrote to the database (or came from it).
    bool isRowStored(int row) const;

signals:
    void dataReset();
    void rowChanged(int row);
    void rowInserted(int row);
    void rowRemoved(int row);
    void currentChanged(int row);
    void stateChanged();

private:
    enum class Status { Unchanged, Inserted, Modified };
    struct Record {
        QVariantList values;
        QVariantList original; // as read or last written; keys are looked up by it
        Status status = Status::Unchanged;
    };

    void requireActive() const;
    void requireCurrent() const;
    void setState(State s);
    void setCurrent(int row);
    void calc(int row);
    QVariant normalize(const QVariant &v, ColumnKind kind) const;
    QStringList writableColumns() const;
    void writeInsert(Record &r);
    void writeUpdate(Record &r);
    void writeDelete(const Record &r);
    Params keyParams(const Record &r) const;
    void checkUpdatable() const;

    Database *db_;
    QString sql_;
    Params params_;
    QString updateTable_;
    QStringList keyColumns_;
    QStringList updateColumns_;
    bool batch_ = false;
    bool readOnly_ = false;
    bool autoPost_ = false;
    bool inFieldHook_ = false;
    QList<Field> calcFields_;
    QList<Field> fields_;
    QList<Record> rows_;
    QList<Record> deleted_;
    State state_ = State::Inactive;
    int current_ = -1;
    bool bof_ = true, eof_ = true;
    QVariantList editBackup_;
};
