// Helpers for building dialog templates in code: each control gets its
// numeric id as object name; controls without an id get none.
#pragma once

#include <QString>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace plinth::dlg {

constexpr int kNoId = -1;

void setId(QWidget *w, int id);
// Static text as a dialog shows it: "&&" is one ampersand.
QString staticText(const QString &text);

QCheckBox *checkBox(QBoxLayout *layout, int id, const QString &text);
QRadioButton *radio(QBoxLayout *layout, int id, const QString &text);
QLabel *label(QBoxLayout *layout, int id, const QString &text);
QLineEdit *edit(QBoxLayout *layout, int id);
QPushButton *button(QBoxLayout *layout, int id, const QString &text);
// A drop-down list; a sorted one keeps its entries in case-blind order.
QComboBox *dropDownList(QBoxLayout *layout, int id, bool sorted);
QGroupBox *groupBox(QBoxLayout *layout, int id, const QString &title);
// A section heading: title with an etched line, a 20 x 20 icon and the
// explanatory text beside it. Ids of the parts may be kNoId.
QWidget *heading(QBoxLayout *layout, int titleId, const QString &title, int lineId, int iconId,
                 const QString &iconPath, int textId, const QString &text);

// Adds an entry as a list box does (sorted when the list is); returns its index.
int addString(QComboBox *combo, const QString &text);

} // namespace plinth::dlg
