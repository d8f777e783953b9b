#pragma once
// The item model a grid shows a data set through: one column per visible
// field, header from the display label, edits written to the data set.
#include <QAbstractTableModel>
#include <QStringList>

class DataSet;

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(DataSet *ds, QObject *parent = nullptr);

    DataSet *dataSet() const { return ds_; }
    void setEditable(bool on);
    // Boolean fields as check boxes instead of "是"/"否".
    void setBoolsAsChecks(bool on) { checks_ = on; }
    bool editable() const { return editable_; }
    int fieldOfColumn(int column) const; // index into DataSet::fields()
    // Shows these fields in this order (visible ones only); empty: data set order.
    void setColumnOrder(const QStringList &fields);
    int columnOfField(const QString &name) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The last refusal from the data set (a failed post), for the grid to show.
    QString lastError() const { return lastError_; }

public slots:
    void rebuild();

private:
    DataSet *ds_;
    QList<int> columns_;
    QStringList order_;
    bool editable_ = true;
    bool checks_ = false;
    QString lastError_;
};
