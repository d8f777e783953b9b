#include "plinth/dlgbuild.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace plinth::dlg {

void setId(QWidget *w, int id)
{
    if (id != kNoId)
        w->setObjectName(QString::number(id));
}

QString staticText(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
            ++i;
        out += text[i];
    }
    return out;
}

namespace {
template <class W>
W *place(QBoxLayout *layout, W *w, int id)
{
    setId(w, id);
    layout->addWidget(w);
    return w;
}
QWidget *owner(QBoxLayout *layout)
{
    return layout->parentWidget();
}
} // namespace

QCheckBox *checkBox(QBoxLayout *layout, int id, const QString &text)
{
    return place(layout, new QCheckBox(text, owner(layout)), id);
}

QRadioButton *radio(QBoxLayout *layout, int id, const QString &text)
{
    auto *r = place(layout, new QRadioButton(text, owner(layout)), id);
    return r;
}

QLabel *label(QBoxLayout *layout, int id, const QString &text)
{
    auto *l = place(layout, new QLabel(text.contains(QLatin1Char('&')) && id == kNoId ? staticText(text) : text,
                                       owner(layout)),
                    id);
    l->setWordWrap(true);
    return l;
}

QLineEdit *edit(QBoxLayout *layout, int id)
{
    return place(layout, new QLineEdit(owner(layout)), id);
}

QPushButton *button(QBoxLayout *layout, int id, const QString &text)
{
    return place(layout, new QPushButton(text, owner(layout)), id);
}

QComboBox *dropDownList(QBoxLayout *layout, int id, bool sorted)
{
    auto *c = place(layout, new QComboBox(owner(layout)), id);
    c->setProperty("sorted", sorted);
    return c;
}

QGroupBox *groupBox(QBoxLayout *layout, int id, const QString &title)
{
    return place(layout, new QGroupBox(title, owner(layout)), id);
}

QWidget *heading(QBoxLayout *layout, int titleId, const QString &title, int lineId, int iconId,
                 const QString &iconPath, int textId, const QString &text)
{
    auto *box = new QWidget(owner(layout));
    auto *v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout;
    auto *t = new QLabel(staticText(title), box);
    setId(t, titleId);
    QFont bold = t->font();
    bold.setBold(true);
    t->setFont(bold);
    auto *line = new QFrame(box);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    setId(line, lineId);
    top->addWidget(t);
    top->addWidget(line, 1);
    v->addLayout(top);
    auto *row = new QHBoxLayout;
    auto *icon = new QLabel(box);
    icon->setFixedSize(20, 20);
    if (!iconPath.isEmpty())
        icon->setPixmap(QIcon(iconPath).pixmap(20, 20));
    setId(icon, iconId);
    row->addWidget(icon, 0, Qt::AlignTop);
    if (!text.isEmpty()) {
        auto *explain = new QLabel(staticText(text), box);
        explain->setWordWrap(true);
        setId(explain, textId);
        row->addWidget(explain, 1);
    } else {
        row->addStretch(1);
    }
    v->addLayout(row);
    layout->addWidget(box);
    return box;
}

int addString(QComboBox *combo, const QString &text)
{
    if (!combo->property("sorted").toBool()) {
        combo->addItem(text);
        return combo->count() - 1;
    }
    int at = 0;
    while (at < combo->count() && combo->itemText(at).compare(text, Qt::CaseInsensitive) <= 0)
        ++at;
    combo->insertItem(at, text);
    return at;
}

} // namespace plinth::dlg
