#pragma once
// The data grid every list and bill window uses: a data set shown through a
// table view with line numbers, an optional footer ("合计" and sums of chosen
// amount columns in "#,###.00"), Enter moving to the next cell, ellipsis
// buttons and pick lists in chosen columns, and a read-only switch.
#include <QHash>
#include <QStringList>
#include <QTableView>
#include <QWidget>

class DataSet;
class DataSetModel;
class FooterBar;

class GridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    // Writes an open cell editor's text into the model and closes it.
    void commitEditor();
signals:
    // Enter on the last cell of the last row.
    void endReached();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

class DBGrid : public QWidget {
    Q_OBJECT
public:
    explicit DBGrid(QWidget *parent = nullptr);

    void setDataSet(DataSet *ds);
    DataSet *dataSet() const { return ds_; }
    DataSetModel *model() const { return model_; }
    GridView *view() const { return view_; }

    void setReadOnly(bool on);
    bool isReadOnly() const { return readOnly_; }
    void setFooterVisible(bool on);
    // Fields whose column sums show in the footer.
    void setSumFields(const QStringList &fields);
    QString footerText(const QString &field) const; // "合计" for the first column
    void setEllipsis(const QString &field);
    void setPickList(const QString &field, const QStringList &items);
    QStringList pickList(const QString &field) const { return pickLists_.value(field.toLower()); }
    bool hasEllipsis(const QString &field) const { return ellipsis_.contains(field.toLower()); }

    // Puts the cursor on a field of the current row and focuses the grid.
    void focusField(const QString &field);
    QString currentField() const;
    void refreshFooter();

signals:
    void ellipsisClicked(const QString &field);
    void cellDoubleClicked(const QString &field);
    // Leaving a row wrote it and the database refused (the server's text).
    void postRefused(const QString &serverText);

private:
    void syncFromDataSet();
    DataSet *ds_ = nullptr;
    DataSetModel *model_ = nullptr;
    GridView *view_;
    FooterBar *footer_;
    bool readOnly_ = false;
    QStringList sums_;
    QHash<QString, QStringList> pickLists_;
    QStringList ellipsis_;
    friend class FooterBar;
    friend class GridDelegate;
};
