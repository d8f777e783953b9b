#pragma once
// What the pickers share: a read-only grid set up over a data set with the
// columns they show, and the LIKE pattern for typed search text.
#include <QList>
#include <QString>
#include <functional>

class DBGrid;
class DataSet;
class QWidget;

struct PickerColumn {
    QString field;
    QString label;
};

namespace pickers {

// Read-only, whole-row selection, no footer.
void setupGrid(DBGrid *grid, DataSet *ds);
// Shows only the given fields, with their captions; call after the first open.
void showColumns(DBGrid *grid, const QList<PickerColumn> &columns);
// Puts the view's cursor on the data set's current row (a reopened data set
// resets the view).
void syncView(DBGrid *grid);
// "%text%" with the typed wildcards escaped, for "LIKE :p ESCAPE '\'".
QString containsPattern(const QString &typed);
// The text form of a key as the callers keep it ("3" for ColorID 3).
QString keyText(const QVariant &value);
// Enter in the widget runs the action (picks the current row) instead of moving on.
void onEnter(QWidget *widget, std::function<void()> action);

} // namespace pickers
