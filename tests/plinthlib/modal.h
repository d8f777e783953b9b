// Drives a modal sheet from inside its event loop.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `during` once the modal widget shows; `start` opens it and returns
// its result. If `during` leaves the dialog open, it is closed.
template <class Start>
auto runModal(Start start, std::function<void(QWidget *)> during)
{
    QTimer::singleShot(0, [during] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            // The window may not be active offscreen; find the visible dialog.
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->isModal())
                    modal = w;
        }
        if (modal)
            during(modal);
        if (modal && modal->isVisible())
            modal->close();
    });
    return start();
}
