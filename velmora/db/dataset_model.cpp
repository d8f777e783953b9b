#include "dataset_model.h"

#include "dataset.h"

DataSetModel::DataSetModel(DataSet *ds, QObject *parent) : QAbstractTableModel(parent), ds_(ds)
{
    connect(ds_, &DataSet::dataReset, this, &DataSetModel::rebuild);
    connect(ds_, &DataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(ds_, &DataSet::rowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        endInsertRows();
    });
    connect(ds_, &DataSet::rowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        endRemoveRows();
    });
    rebuild();
}

void DataSetModel::rebuild()
{
    beginResetModel();
    columns_.clear();
    const auto &fields = ds_->fields();
    if (order_.isEmpty()) {
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].visible)
                columns_ << i;
    } else {
        for (const QString &name : order_) {
            const int i = ds_->fieldIndex(name);
            if (i >= 0 && fields[i].visible)
                columns_ << i;
        }
    }
    endResetModel();
}

void DataSetModel::setColumnOrder(const QStringList &fields)
{
    order_ = fields;
    rebuild();
}

void DataSetModel::setEditable(bool on)
{
    editable_ = on;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int DataSetModel::fieldOfColumn(int column) const { return column >= 0 && column < columns_.size() ? columns_[column] : -1; }

int DataSetModel::columnOfField(const QString &name) const { return int(columns_.indexOf(ds_->fieldIndex(name))); }

int DataSetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ds_->recordCount(); }

int DataSetModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    const int f = fieldOfColumn(index.column());
    if (f < 0)
        return {};
    const bool check = checks_ && ds_->fields()[f].kind == ColumnKind::Bool;
    switch (role) {
    case Qt::DisplayRole:
        return check ? QVariant() : QVariant(ds_->displayText(index.row(), f));
    case Qt::CheckStateRole:
        if (!check)
            return {};
        return ds_->valueAt(index.row(), f).toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::EditRole: {
        const QVariant v = ds_->valueAt(index.row(), f);
        return ds_->fields()[f].kind == ColumnKind::Money && v.isValid() ? QVariant(v.value<Money>().toString(2)) : v;
    }
    case Qt::TextAlignmentRole:
        switch (ds_->fields()[f].kind) {
        case ColumnKind::Money:
        case ColumnKind::Int:
        case ColumnKind::Real:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    default:
        return {};
    }
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const bool check = role == Qt::CheckStateRole && (flags(index) & Qt::ItemIsUserCheckable);
    if (!check && (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)))
        return false;
    try {
        ds_->setValueAt(index.row(), fieldOfColumn(index.column()),
                        check ? QVariant(value.toInt() == Qt::Checked) : value);
        lastError_.clear();
        return true;
    } catch (const DbError &e) {
        lastError_ = e.message();
        return false;
    } catch (const AbortError &) {
        return false;
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return section + 1;
    const int f = fieldOfColumn(section);
    return f < 0 ? QVariant() : QVariant(ds_->fields()[f].label());
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags fl = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const int f = fieldOfColumn(index.column());
    // A calculated field made writable stands for an ID shown by name (its
    // editor is the ellipsis button that picks the ID).
    if (f >= 0 && editable_ && !ds_->readOnly() && !ds_->fields()[f].readOnly) {
        if (checks_ && ds_->fields()[f].kind == ColumnKind::Bool)
            fl |= Qt::ItemIsUserCheckable;
        else
            fl |= Qt::ItemIsEditable;
    }
    return fl;
}
