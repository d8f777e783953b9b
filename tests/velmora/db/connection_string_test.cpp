#include "connection_string.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(ConnectionString, IsBuiltInTheFixedFormAndOrder)
{
    const ConnectionString cs = ConnectionString::fromLogin(QStringLiteral("shop-server"), QStringLiteral("sa"),
                                                            QStringLiteral("secret"));
    EXPECT_EQ(cs.toString(), QStringLiteral("Provider=SQLOLEDB.1;Password=secret;Persist Security Info=False;"
                                            "User ID=sa;Initial Catalog=handset;Data Source=shop-server"));
}

TEST(ConnectionString, ParsesBackWhatItBuilt)
{
    struct Case {
        const char *server, *user, *password;
    } cases[] = {
        {"192.168.1.5", "sa", ""},
        {"db:5433", "店员", "密码"},
        {"host", "sa", "a;b=c"},
        {"host", "us;er=", ";Password=x;"},
        {"", "", ""},
        {"C:/data/shop.db", "x", "Data Source=evil"},
        {"host", "sa", "  spaced  "},
    };
    for (const Case &c : cases) {
        const ConnectionString built = ConnectionString::fromLogin(QString::fromUtf8(c.server), QString::fromUtf8(c.user),
                                                                   QString::fromUtf8(c.password));
        const ConnectionString parsed = ConnectionString::parse(built.toString());
        EXPECT_EQ(parsed.dataSource, built.dataSource) << c.password;
        EXPECT_EQ(parsed.userId, built.userId) << c.password;
        EXPECT_EQ(parsed.password, built.password) << c.password;
    }
}

TEST(ConnectionString, ReadsPlainKeyValueLists)
{
    const ConnectionString cs =
        ConnectionString::parse(QStringLiteral("Data Source=db;User ID=u;Password=p;Initial Catalog=other"));
    EXPECT_EQ(cs.dataSource, QStringLiteral("db"));
    EXPECT_EQ(cs.userId, QStringLiteral("u"));
    EXPECT_EQ(cs.password, QStringLiteral("p"));
    EXPECT_EQ(cs.initialCatalog, QStringLiteral("other"));
}

TEST(ServerTarget, TheServerTextChoosesTheEngine)
{
    struct Case {
        const char *text;
        Engine engine;
        const char *host;
        int port;
    } cases[] = {
        {"", Engine::SQLite, "", 0},
        {"(local)", Engine::SQLite, "", 0},
        {"(LOCAL)", Engine::SQLite, "", 0},
        {"/srv/shop/handset.db", Engine::SQLite, "", 0},
        {"shop.DB", Engine::SQLite, "", 0},
        {"192.168.0.10", Engine::PostgreSQL, "192.168.0.10", 5432},
        {"dbhost:6543", Engine::PostgreSQL, "dbhost", 6543},
        {"[::1]:7000", Engine::PostgreSQL, "::1", 7000},
        {"fe80::1", Engine::PostgreSQL, "fe80::1", 5432},
        {" server ", Engine::PostgreSQL, "server", 5432},
    };
    for (const Case &c : cases) {
        const ServerTarget t = ServerTarget::fromServerText(QString::fromUtf8(c.text));
        EXPECT_EQ(t.engine, c.engine) << c.text;
        if (c.engine == Engine::PostgreSQL) {
            EXPECT_EQ(t.host.toStdString(), c.host) << c.text;
            EXPECT_EQ(t.port, c.port) << c.text;
        } else {
            EXPECT_TRUE(QDir::isAbsolutePath(t.sqliteFile)) << c.text;
            EXPECT_TRUE(t.sqliteFile.endsWith(QLatin1String(".db"), Qt::CaseInsensitive)) << c.text;
        }
    }
    EXPECT_TRUE(ServerTarget::fromServerText(QString()).sqliteFile.endsWith(QLatin1String("/handset.db")));
}
