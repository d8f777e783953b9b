// The administrator's tool, run as a separate program as an administrator would.
#include "testdb.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {
struct ToolRun {
    int status;
    QString out;
};

ToolRun runTool(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(VELMORA_DB_TOOL), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
}
} // namespace

TEST(DbTool, CreatesAndChecksAnEmbeddedDatabase)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("shop.db"));
    ToolRun r = runTool({QStringLiteral("check"), QStringLiteral("--sqlite"), file});
    EXPECT_EQ(r.status, 1) << r.out.toStdString();
    EXPECT_FALSE(QFile::exists(file)); // check never creates

    r = runTool({QStringLiteral("init"), QStringLiteral("--sqlite"), file});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("created")));
    r = runTool({QStringLiteral("check"), QStringLiteral("--sqlite"), file});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("sound")));
    r = runTool({QStringLiteral("init"), QStringLiteral("--sqlite"), file});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains(QLatin1String("up to date")));
}

TEST(DbTool, RefusesAFileThatIsNoDatabase)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("notes.db"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is a text file, not a database\n" + QByteArray(2048, '.'));
    f.close();
    for (const char *command : {"check", "init"}) {
        const ToolRun r = runTool({QString::fromLatin1(command), QStringLiteral("--sqlite"), file});
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_TRUE(r.out.contains(QLatin1String("not a database"))) << r.out.toStdString();
    }
}

TEST(DbTool, BadArgumentsShowUsage)
{
    for (const QStringList &args : {QStringList{}, QStringList{QStringLiteral("frobnicate")},
                                    QStringList{QStringLiteral("init")},
                                    QStringList{QStringLiteral("init"), QStringLiteral("--sqlite")}}) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.out.contains(QLatin1String("usage")));
    }
}

TEST(DbTool, CreatesAndChecksAServerDatabase)
{
    const PgServer s = testPgServer();
    const QStringList login{QStringLiteral("--server"), s.serverText, QStringLiteral("--user"), s.user,
                            QStringLiteral("--password"), s.password};
    ToolRun r = runTool(QStringList{QStringLiteral("init")} + login);
    ASSERT_EQ(r.status, 0) << r.out.toStdString();
    r = runTool(QStringList{QStringLiteral("check")} + login);
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("sound")));

    r = runTool({QStringLiteral("check"), QStringLiteral("--server"), s.serverText, QStringLiteral("--user"), s.user,
                 QStringLiteral("--password"), QStringLiteral("wrong")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains(QLatin1String("password authentication failed"))) << r.out.toStdString();

    r = runTool({QStringLiteral("check"), QStringLiteral("--server"), QStringLiteral("127.0.0.1:1"), QStringLiteral("--user"),
                 s.user, QStringLiteral("--password"), s.password});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains(QLatin1String("127.0.0.1"))) << r.out.toStdString();

    Database admin;
    admin.openPostgres(s.host, s.port, s.user, s.password, QStringLiteral("postgres"), false);
    admin.execRaw(QStringLiteral("DROP DATABASE IF EXISTS handset WITH (FORCE)"));
}
