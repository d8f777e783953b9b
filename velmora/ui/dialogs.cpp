#include "dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

Answer QtDialogService::message(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon,
                                MsgButtons buttons)
{
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    if (buttons == MsgButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    }
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

int QtDialogService::exec(QDialog *dialog) { return dialog->exec(); }

QString QtDialogService::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString QtDialogService::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString QtDialogService::folder(QWidget *parent, const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

bool QtDialogService::openUrl(const QString &fileOrUrl)
{
    const QUrl url = fileOrUrl.contains(QLatin1String("://")) ? QUrl(fileOrUrl) : QUrl::fromLocalFile(fileOrUrl);
    return QDesktopServices::openUrl(url);
}

// ---- scripted -----------------------------------------------------------------

QStringList ScriptedDialogService::texts() const
{
    QStringList out;
    for (const AskedMessage &m : asked)
        out << m.text;
    return out;
}

void ScriptedDialogService::unexpected(const QString &what)
{
    if (onUnexpected)
        onUnexpected(what);
}

Answer ScriptedDialogService::message(QWidget *, const QString &text, const QString &caption, MsgIcon icon,
                                      MsgButtons buttons)
{
    asked.append({text, caption, icon, buttons});
    if (buttons == MsgButtons::Ok)
        return Answer::Ok; // nothing to decide
    if (answers_.isEmpty()) {
        unexpected(QStringLiteral("unanswered question: ") + text);
        return Answer::Cancel;
    }
    return answers_.takeFirst();
}

int ScriptedDialogService::exec(QDialog *dialog)
{
    dialogsShown << (dialog->objectName().isEmpty() ? QString::fromLatin1(dialog->metaObject()->className())
                                                     : dialog->objectName());
    if (handlers_.isEmpty()) {
        unexpected(QStringLiteral("unhandled dialog: ") + dialogsShown.last());
        return QDialog::Rejected;
    }
    DialogHandler h = handlers_.takeFirst();
    dialog->show();
    QApplication::setActiveWindow(dialog); // keys typed by the handler reach the focused control
    const int result = h(dialog);
    dialog->hide();
    return result < 0 ? dialog->result() : result; // -1: whatever the dialog decided
}

QString ScriptedDialogService::openFileName(QWidget *, const QString &caption, const QString &, const QString &)
{
    asked.append({caption, caption, MsgIcon::None, MsgButtons::OkCancel});
    return files_.isEmpty() ? QString() : files_.takeFirst();
}

QString ScriptedDialogService::saveFileName(QWidget *p, const QString &c, const QString &d, const QString &f)
{
    return openFileName(p, c, d, f);
}

QString ScriptedDialogService::folder(QWidget *p, const QString &c, const QString &d) { return openFileName(p, c, d, {}); }

bool ScriptedDialogService::openUrl(const QString &fileOrUrl)
{
    openedUrls << fileOrUrl;
    return true;
}
