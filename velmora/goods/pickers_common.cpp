#include "pickers_common.h"

#include <QKeyEvent>
#include <QWidget>

#include "database.h"
#include "dataset.h"
#include "dataset_model.h"
#include "dbgrid.h"

#include <QHeaderView>

namespace pickers {

void setupGrid(DBGrid *grid, DataSet *ds)
{
    ds->setReadOnly(true);
    grid->setDataSet(ds);
    grid->setReadOnly(true);
    grid->setFooterVisible(false);
    grid->view()->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->view()->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void showColumns(DBGrid *grid, const QList<PickerColumn> &columns)
{
    DataSet *ds = grid->dataSet();
    for (const Field &f : ds->fields())
        ds->field(f.name).visible = false;
    for (const PickerColumn &c : columns) {
        if (!ds->hasField(c.field))
            continue;
        Field &f = ds->field(c.field);
        f.visible = true;
        f.displayLabel = c.label;
    }
    grid->model()->rebuild();
}

void syncView(DBGrid *grid)
{
    const int row = grid->dataSet()->recNo();
    if (row >= 0 && grid->model()->columnCount() > 0)
        grid->view()->setCurrentIndex(grid->model()->index(row, 0));
}

QString containsPattern(const QString &typed)
{
    return QLatin1Char('%') + Database::likeEscape(typed) + QLatin1Char('%');
}

QString keyText(const QVariant &value) { return sqlvalue::toString(value).trimmed(); }

} // namespace pickers

namespace {
class EnterPicks : public QObject {
public:
    EnterPicks(QObject *parent, std::function<void()> action) : QObject(parent), action_(std::move(action)) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        action_();
        return true;
    }

private:
    std::function<void()> action_;
};
} // namespace

void pickers::onEnter(QWidget *widget, std::function<void()> action)
{
    widget->installEventFilter(new EnterPicks(widget, std::move(action)));
}
