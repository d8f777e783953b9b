#include "keys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

FormKeys::FormKeys(QWidget *form, int options) : QObject(form), form_(form), options_(options) {}

FormKeys *FormKeys::install(QWidget *form, int options)
{
    auto *keys = new FormKeys(form, options);
    qApp->installEventFilter(keys);
    return keys;
}

namespace {
bool belongsTo(QWidget *w, QWidget *form)
{
    for (; w; w = w->parentWidget())
        if (w == form)
            return true;
    return false;
}

void moveFocus(QWidget *form, QWidget *from, bool forward)
{
    QWidget *w = from;
    for (int guard = 0; guard < 1000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == from)
            return;
        if (belongsTo(w, form) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool isTextArea(QWidget *w) { return qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w); }

bool insideItemView(QWidget *w)
{
    for (; w; w = w->parentWidget())
        if (qobject_cast<QAbstractItemView *>(w))
            return true;
    return false;
}
} // namespace

bool FormKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !w->isWidgetType() || !belongsTo(w, form_) || w->window() != form_->window())
        return false;
    // Only the focused widget's press counts once (the filter sees the propagation too).
    if (w != QApplication::focusWidget() && w != form_)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const bool ctrl = key->modifiers() & Qt::ControlModifier;

    if (ctrl && ctrl_.contains(key->key())) {
        ctrl_.value(key->key())();
        return true;
    }
    if (key->key() == Qt::Key_Escape && (options_ & EscCloses)) {
        if (auto *dlg = qobject_cast<QDialog *>(form_))
            dlg->reject();
        else
            form_->close();
        return true;
    }
    if (key->key() == Qt::Key_Delete && delete_ && qobject_cast<QAbstractItemView *>(w)) {
        delete_(); // on a grid not being edited
        return true;
    }
    if (insideItemView(w))
        return false; // grids handle their own keys
    if (key->key() == Qt::Key_Delete && delete_ && !qobject_cast<QLineEdit *>(w) && !isTextArea(w)) {
        delete_();
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && enter_.contains(w)) {
        enter_.value(w)();
        return true;
    }
    if (enter && (options_ & EnterMoves) && !isTextArea(w)) {
        if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            b->click();
            return true;
        }
        if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->view() && combo->view()->isVisible())
            return false;
        moveFocus(form_, w, true);
        return true;
    }
    if ((options_ & ArrowsMove) && !qobject_cast<QComboBox *>(w)) {
        if (key->key() == Qt::Key_Down) {
            moveFocus(form_, w, true);
            return true;
        }
        if (key->key() == Qt::Key_Up) {
            moveFocus(form_, w, false);
            return true;
        }
    }
    return false;
}
