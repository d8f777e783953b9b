#include "widgets.h"

#include <QHBoxLayout>
#include <QPushButton>

QPushButton *makeButton(QWidget *parent, const QString &objectName, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout *buttonRow(QPushButton *ok, QPushButton *cancel)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
