#pragma once
// A program context for window tests: a scratch database on either engine, a
// scripted dialog service (an unanswered question fails the test), settings
// in a temporary file and a clock that never touches the computer's.
#include "app_context.h"
#include "dialogs.h"
#include "tfdata.h"
#include "testdb.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

// Makes the widget's window active and focuses the widget, as a user's click
// would, so that typed keys go where a person's would.
inline void focusOn(QWidget *w)
{
    QApplication::setActiveWindow(w->window());
    w->setFocus();
}

class FakeClock : public Clock {
public:
    QDateTime current = QDateTime(QDate(2026, 12, 11), QTime(10, 30, 0));
    QList<QDateTime> setTo;
    bool refuse = false;
    QDateTime now() const override { return current; }
    bool setLocalTime(const QDateTime &when) override
    {
        setTo << when;
        if (refuse)
            return false;
        current = when;
        return true;
    }
};

class TestApp {
public:
    explicit TestApp(Engine engine);
    ~TestApp();
    Database &db() { return data.ADOConnection1; }
    // Logs in as a user of the given permission set.
    void loginAs(const QString &permissionSet)
    {
        ctx.session.purviewName = permissionSet;
        settings.write(QStringLiteral("SystemName"), permissionSet);
    }

    QTemporaryDir dir;
    ScratchDatabase scratch;
    TFData data;
    ScriptedDialogService dialogs;
    RegSetting settings;
    FakeClock clock;
    AppContext ctx;
};
