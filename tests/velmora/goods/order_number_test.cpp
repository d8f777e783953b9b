#include "order_number.h"
#include "testdb.h"

TEST(NextOrderIDAfter, CountsTheTrailingDigitsUpAtTheirWidth)
{
    struct Case {
        const char *greatest;
        qlonglong rows;
        const char *next;
    } cases[] = {
        {"", 0, "00000001"},
        {"00000012", 12, "00000013"},
        {"JH0099", 1, "JH0100"},
        {"JH2010", 1, "JH2011"},
        {"JH99", 1, "J100"},
        {"9", 1, "10"},
        {"99999999", 1, "100000000"},
        {"202612110009", 1, "202612110010"},
        {"202612119999", 1, "2026121110000"}, // the rest all nines: one digit more
        {"XS-000000000199", 1, "XS-000000000200"},
        {"ABC", 7, "00000008"},  // no trailing digit: row count + 1
        {" 12 ", 1, "13"},      // trimmed
    };
    for (const Case &c : cases)
        EXPECT_EQ(NextOrderIDAfter(QString::fromLatin1(c.greatest), c.rows).toStdString(), c.next) << c.greatest;
}

class NextOrderIDTest : public testing::TestWithParam<Engine> {};

TEST_P(NextOrderIDTest, ReadsTheGreatestNumberOfTheTable)
{
    ScratchDatabase s(GetParam());
    auto add = [&](const char *id) {
        s->exec(QStringLiteral("INSERT INTO SpillMaster(OrderID) VALUES(:o)"), {{QStringLiteral("o"), QString::fromLatin1(id)}});
    };
    EXPECT_EQ(NextOrderID(s.db(), QStringLiteral("SpillMaster")), QStringLiteral("00000001"));
    add("00000001");
    EXPECT_EQ(NextOrderID(s.db(), QStringLiteral("SpillMaster")), QStringLiteral("00000002"));
    add("JH2010");
    EXPECT_EQ(NextOrderID(s.db(), QStringLiteral("SpillMaster")), QStringLiteral("JH2011"));
    add("ZZ");
    EXPECT_EQ(NextOrderID(s.db(), QStringLiteral("SpillMaster")), QStringLiteral("00000004"));
}

VELMORA_ON_BOTH_ENGINES(NextOrderIDTest);
