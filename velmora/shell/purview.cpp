#include "purview.h"

#include "app_context.h"
#include "dialogs.h"
#include "tfdata.h"

int PurviewLevel(AppContext &app, const QString &name)
{
    const QString set = app.session.purviewName;
    if (set == QStringLiteral("超级用户"))
        return 2;
    const RowSet rs = app.data.ADOConnection1.query(
        QStringLiteral("select p_query, p_all from purview where purview_name=:s and p_module=:m"),
        {{QStringLiteral("s"), set}, {QStringLiteral("m"), name}});
    if (rs.isEmpty())
        return 0;
    // Both flags set counts as query only, as the window never sets both.
    if (sqlvalue::toBool(rs.value(0, 0)))
        return 1;
    return sqlvalue::toBool(rs.value(0, 1)) ? 2 : 0;
}

int CheckPurview(AppContext &app, QWidget *parent, const QString &name)
{
    const int level = PurviewLevel(app, name);
    if (level == 0)
        app.dialogs.warn(parent, QStringLiteral("对不起，你无权使用该功能。"));
    return level;
}
