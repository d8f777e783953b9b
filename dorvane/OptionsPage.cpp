#include "OptionsPage.h"
#include "ToolsOptions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>

QString COptionsPage::GetHelpTopic() const
{
    return QStringLiteral("IDlgOptions.htm");
}

CToolsOptions *COptionsPage::Sheet() const
{
    return static_cast<CToolsOptions *>(GetParentSheet());
}

QAbstractButton *COptionsPage::Button(int id) const
{
    return qobject_cast<QAbstractButton *>(GetDlgItem(unsigned(id)));
}

void COptionsPage::SetCheck(int id, VARIANT_BOOL value)
{
    if (QAbstractButton *b = Button(id))
        b->setChecked(value != VARIANT_FALSE);
}

VARIANT_BOOL COptionsPage::CheckValue(int id) const
{
    const QAbstractButton *b = Button(id);
    return b && b->isChecked() ? VARIANT_TRUE : VARIANT_FALSE;
}

CWaitCursor::CWaitCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

CWaitCursor::~CWaitCursor()
{
    QApplication::restoreOverrideCursor();
}
