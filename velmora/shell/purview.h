#pragma once
// The permission check: the level the permission set of the user who logged
// in during this run has for a function. 0 none (and the refusal is shown), 1 query only, 2 full.
#include <QString>

class QWidget;
struct AppContext;

int CheckPurview(AppContext &app, QWidget *parent, const QString &permissionName);
// The same answer without showing anything.
int PurviewLevel(AppContext &app, const QString &permissionName);
