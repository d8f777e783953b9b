#include "money.h"
#include "testdb.h"

#include <QFile>
#include <QTemporaryDir>

TEST(PositionalSql, TurnsNamesIntoMarksOutsideQuotesAndComments)
{
    struct Case {
        const char *in, *out, *names;
    } cases[] = {
        {"select * from t where a=:P_A and b = :b", "select * from t where a=? and b = ?", "P_A,b"},
        {"select ':x' , \":y\" from t where c=:c", "select ':x' , \":y\" from t where c=?", "c"},
        {"select 'it''s :no' where a=:a", "select 'it''s :no' where a=?", "a"},
        {"select a::text from t -- :comment\nwhere b=:b", "select a::text from t -- :comment\nwhere b=?", "b"},
        {"update t set a=:v where a=:v", "update t set a=? where a=?", "v,v"},
        {"select '12:30' , x from t where y=:1", "select '12:30' , x from t where y=:1", ""},
    };
    for (const Case &c : cases) {
        QStringList names;
        EXPECT_EQ(Database::positionalSql(QString::fromUtf8(c.in), &names).toStdString(), c.out);
        EXPECT_EQ(names.join(u',').toStdString(), c.names) << c.in;
    }
}

TEST(LikeEscape, WildcardsMatchThemselves)
{
    EXPECT_EQ(Database::likeEscape(QStringLiteral("50%_a\\b")), QStringLiteral("50\\%\\_a\\\\b"));
}

class DatabaseTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        scratch = std::make_unique<ScratchDatabase>(GetParam(), false);
        db().execRaw(QStringLiteral("CREATE TABLE t (id %1, name VARCHAR(50), amount NUMERIC(19,4), at %2, flag INTEGER)")
                         .arg(db().dialect().identityPrimaryKey(), db().dialect().dateTimeType()));
    }
    Database &db() { return scratch->db(); }
    std::unique_ptr<ScratchDatabase> scratch;
};

TEST_P(DatabaseTest, ValuesTravelAsParametersWhateverTheyHold)
{
    const QStringList nasty{QStringLiteral("O'Brien"), QStringLiteral("'; DROP TABLE t; --"), QStringLiteral("a\"b"),
                            QStringLiteral(":name"), QStringLiteral("100%_x\\"), QStringLiteral("手机 “双引号”")};
    for (const QString &s : nasty)
        db().exec(QStringLiteral("INSERT INTO t(name) VALUES(:P_Name)"), {{QStringLiteral("P_Name"), s}});
    for (const QString &s : nasty)
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t WHERE name = :n"), {{QStringLiteral("n"), s}}).toInt(), 1)
            << s.toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t")).toInt(), nasty.size());
}

TEST_P(DatabaseTest, LikePatternsMatchTypedWildcardsLiterally)
{
    for (const char *s : {"50%off", "50 off", "a_b", "axb"})
        db().exec(QStringLiteral("INSERT INTO t(name) VALUES(:n)"), {{QStringLiteral("n"), QString::fromLatin1(s)}});
    auto count = [&](const QString &typed) {
        return db().scalar(QStringLiteral("SELECT count(*) FROM t WHERE name LIKE :p ESCAPE '\\'"),
                           {{QStringLiteral("p"), QLatin1Char('%') + Database::likeEscape(typed) + QLatin1Char('%')}})
            .toInt();
    };
    EXPECT_EQ(count(QStringLiteral("%")), 1);
    EXPECT_EQ(count(QStringLiteral("_")), 1);
    EXPECT_EQ(count(QStringLiteral("50")), 2);
}

TEST_P(DatabaseTest, RepeatedAndMissingParameters)
{
    db().exec(QStringLiteral("INSERT INTO t(name, flag) VALUES(:v, 1)"), {{QStringLiteral("v"), QStringLiteral("x")}});
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t WHERE name = :v OR name = :v || 'y'"),
                          {{QStringLiteral("v"), QStringLiteral("x")}})
                  .toInt(),
              1);
    EXPECT_THROW(db().exec(QStringLiteral("UPDATE t SET name = :nobody")), DbError);
}

TEST_P(DatabaseTest, MoneyDatesAndBooleansRoundTripExactly)
{
    const QDateTime at(QDate(2026, 3, 1), QTime(9, 30, 5));
    for (const char *amount : {"0.1", "0.2", "1234567890.1234", "-0.0001"})
        db().exec(QStringLiteral("INSERT INTO t(amount, at, flag) VALUES(:a, :d, :f)"),
                  {{QStringLiteral("a"), QVariant::fromValue(Money::parse(QString::fromLatin1(amount)))},
                   {QStringLiteral("d"), at},
                   {QStringLiteral("f"), true}});
    const Money sum = Money::fromVariant(db().scalar(QStringLiteral("SELECT sum(amount) FROM t")));
    EXPECT_EQ(sum, Money::parse(QStringLiteral("1234567890.4233")));
    const RowSet rs = db().query(QStringLiteral("SELECT amount, at, flag FROM t ORDER BY id"));
    ASSERT_EQ(rs.size(), 4);
    EXPECT_EQ(Money::fromVariant(rs.value(2, QStringLiteral("AMOUNT"))), Money::parse(QStringLiteral("1234567890.1234")));
    EXPECT_EQ(sqlvalue::toDateTime(rs.value(0, QStringLiteral("at"))), at);
    EXPECT_TRUE(sqlvalue::toBool(rs.value(0, QStringLiteral("flag"))));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t WHERE flag = 1")).toInt(), 4);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t WHERE at >= :d"),
                          {{QStringLiteral("d"), QDate(2026, 3, 1)}})
                  .toInt(),
              4);
}

TEST_P(DatabaseTest, ServerErrorsCarryTheServersOwnText)
{
    try {
        db().query(QStringLiteral("SELECT nosuchcolumn FROM t"));
        FAIL() << "no error";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("nosuchcolumn"))) << e.message().toStdString();
        EXPECT_EQ(e.sql(), QStringLiteral("SELECT nosuchcolumn FROM t"));
    }
}

TEST_P(DatabaseTest, ARolledBackTransactionLeavesNothing)
{
    {
        Transaction tx(db());
        db().exec(QStringLiteral("INSERT INTO t(name) VALUES('a')"));
        db().exec(QStringLiteral("INSERT INTO t(name) VALUES('b')"));
    } // no commit
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t")).toInt(), 0);
    EXPECT_FALSE(db().inTransaction());

    // An error in the middle of a unit of work undoes its earlier statements.
    EXPECT_THROW(
        {
            Transaction tx(db());
            db().exec(QStringLiteral("INSERT INTO t(name) VALUES('c')"));
            db().exec(QStringLiteral("INSERT INTO nosuchtable VALUES(1)"));
            tx.commit();
        },
        DbError);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t")).toInt(), 0);

    Transaction tx(db());
    db().exec(QStringLiteral("INSERT INTO t(name) VALUES('d')"));
    tx.commit();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t")).toInt(), 1);
}

TEST_P(DatabaseTest, AnInnerRollbackUndoesTheWholeUnitOfWork)
{
    db().begin();
    db().exec(QStringLiteral("INSERT INTO t(name) VALUES('outer')"));
    {
        Transaction inner(db());
        db().exec(QStringLiteral("INSERT INTO t(name) VALUES('inner')"));
    } // inner rolled back
    EXPECT_THROW(db().commit(), DbError);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM t")).toInt(), 0);
}

TEST_P(DatabaseTest, InsertReturnsItsIdentity)
{
    const qlonglong a = db().insertReturningId(QStringLiteral("INSERT INTO t(name) VALUES(:n)"), {{QStringLiteral("n"), QStringLiteral("a")}},
                                               QStringLiteral("id"));
    const qlonglong b = db().insertReturningId(QStringLiteral("INSERT INTO t(name) VALUES(:n)"), {{QStringLiteral("n"), QStringLiteral("b")}},
                                               QStringLiteral("id"));
    EXPECT_GT(b, a);
    // Identities keep rising after the newest row is deleted: age order holds.
    db().exec(QStringLiteral("DELETE FROM t WHERE id = :id"), {{QStringLiteral("id"), b}});
    const qlonglong c = db().insertReturningId(QStringLiteral("INSERT INTO t(name) VALUES('c')"), {}, QStringLiteral("id"));
    EXPECT_GT(c, b);
}

VELMORA_ON_BOTH_ENGINES(DatabaseTest);

TEST(DatabaseOpen, AFileThatIsNoDatabaseIsRefusedWithSQLitesText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("junk.db"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Database db;
    try {
        db.openSqlite(path, false);
        FAIL() << "opened";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("not a database"))) << e.message().toStdString();
    }
    EXPECT_FALSE(db.isOpen());
}

TEST(DatabaseOpen, TheEmbeddedEngineIsConfiguredForSafety)
{
    ScratchDatabase s(Engine::SQLite, false);
    EXPECT_EQ(s->scalar(QStringLiteral("PRAGMA foreign_keys")).toInt(), 1);
    EXPECT_EQ(s->scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    EXPECT_EQ(s->scalar(QStringLiteral("PRAGMA synchronous")).toInt(), 2); // FULL
}

TEST(DatabaseOpen, PostgresRefusalsAreClear)
{
    const PgServer s = testPgServer();
    Database db;
    try {
        db.openPostgres(s.host, s.port, s.user, QStringLiteral("wrong"), QStringLiteral("postgres"), false);
        FAIL() << "wrong password accepted";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("password authentication failed"))) << e.message().toStdString();
    }
    try {
        db.openPostgres(s.host, 1, s.user, s.password, QStringLiteral("postgres"), false);
        FAIL() << "connected to port 1";
    } catch (const DbError &e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    // Through the program's own connection string, password with ";" and "=" included.
    ConnectionString cs = ConnectionString::fromLogin(s.serverText, s.user, s.password);
    Database::Options options;
    options.databaseName = QStringLiteral("postgres");
    options.createIfMissing = false;
    db.open(ConnectionString::parse(cs.toString()), options);
    EXPECT_EQ(db.engine(), Engine::PostgreSQL);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 1")).toInt(), 1);
}

TEST(DatabasePostgres, AFailedStatementInATransactionLeavesNoPreparedStatementBehind)
{
    ScratchDatabase s(Engine::PostgreSQL, false);
    auto prepared = [&] { return s->scalar(QStringLiteral("SELECT count(*) FROM pg_prepared_statements")).toInt(); };
    const int before = prepared();
    for (int i = 0; i < 3; ++i) {
        Transaction tx(s.db());
        EXPECT_THROW(s->query(QStringLiteral("SELECT :a::int"), {{QStringLiteral("a"), QStringLiteral("not a number")}}), DbError);
    }
    EXPECT_EQ(prepared(), before);
}
