#include "testapp.h"

TestApp::TestApp(Engine engine)
    : scratch(engine), settings(dir.filePath(QStringLiteral("settings.ini"))),
      ctx{data, dialogs, settings, clock, {}, dir.path(), {}}
{
    scratch.openLike(data.ADOConnection1);
    dialogs.onUnexpected = [](const QString &what) { ADD_FAILURE() << what.toStdString(); };
}

TestApp::~TestApp() { data.ADOConnection1.close(); }
