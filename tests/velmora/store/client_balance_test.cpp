#include "client_balance.h"
#include "testdb.h"

using namespace store;

namespace {
Money M(const char *text) { return Money::parse(QString::fromLatin1(text)); }
} // namespace

class ClientBalanceTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override { scratch = std::make_unique<ScratchDatabase>(GetParam()); }
    Database &db() { return scratch->db(); }
    void partner(const QString &id, bool receivable, Money fact, const QVariant &upper = QVariant::fromValue(Money()))
    {
        db().exec(QStringLiteral("DELETE FROM Client WHERE ClientID = :id"), {{QStringLiteral("id"), id}});
        db().exec(QStringLiteral("INSERT INTO Client(ClientID, ClientName, CostType, FactCost, ClientUpper) "
                                 "VALUES(:id, :id, :t, :f, :u)"),
                  {{QStringLiteral("id"), id},
                   {QStringLiteral("t"), receivable},
                   {QStringLiteral("f"), QVariant::fromValue(fact)},
                   {QStringLiteral("u"), upper}});
    }
    Money fact(const QString &id)
    {
        return Money::fromVariant(db().scalar(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID = :id"),
                                              {{QStringLiteral("id"), id}}));
    }
    void post(const QString &id, BalanceDirection d, Money amount)
    {
        Transaction tx(db());
        PostClientBalance(db(), id, d, amount);
        tx.commit();
    }
    std::unique_ptr<ScratchDatabase> scratch;
};

TEST_P(ClientBalanceTest, PostingFollowsTheKindOfBalance)
{
    using D = BalanceDirection;
    struct Case {
        bool receivable;
        const char *before;
        D direction;
        const char *amount, *after;
    };
    const Case cases[] = {
        {true, "200", D::Debit, "400", "600"},      // a sale of 1000, 600 at the counter
        {true, "200", D::Credit, "50.5", "149.5"},
        {false, "200", D::Credit, "0.0001", "200.0001"},
        {false, "200", D::Debit, "50", "150"},
        {true, "100", D::Credit, "300", "-200"},    // bought on credit from a 应收 partner
        {false, "-10", D::Debit, "5", "-15"},       // a flipped balance stays as it is
    };
    for (const Case &c : cases) {
        partner(QStringLiteral("C1"), c.receivable, M(c.before));
        post(QStringLiteral("C1"), c.direction, M(c.amount));
        EXPECT_EQ(fact(QStringLiteral("C1")), M(c.after)) << c.before << " " << c.amount;
    }
}

TEST_P(ClientBalanceTest, CreditLimitAsksOnlyAboveTheLimit)
{
    using D = BalanceDirection;
    partner(QStringLiteral("C1"), true, M("4800"), QVariant::fromValue(M("5000")));
    EXPECT_FALSE(CheckClientUpper(db(), QStringLiteral("C1"), D::Debit, M("300")));
    EXPECT_TRUE(CheckClientUpper(db(), QStringLiteral("C1"), D::Debit, M("200")));
    EXPECT_TRUE(CheckClientUpper(db(), QStringLiteral("C1"), D::Credit, M("9999")));
    partner(QStringLiteral("C2"), false, M("4800"), QVariant::fromValue(M("5000")));
    EXPECT_FALSE(CheckClientUpper(db(), QStringLiteral("C2"), D::Credit, M("200.0001")));
    for (const QVariant &none : {QVariant::fromValue(Money()), QVariant()}) {
        partner(QStringLiteral("C3"), true, M("1000000"), none);
        EXPECT_TRUE(CheckClientUpper(db(), QStringLiteral("C3"), D::Debit, M("1000000")));
    }
}

TEST_P(ClientBalanceTest, SystemPartnersAreNeverPostedButStillLimitChecked)
{
    db().exec(QStringLiteral("UPDATE Client SET ClientUpper = 100 WHERE ClientID = '2000'"));
    for (const char *id : {"1000", "2000", "3000"})
        post(QString::fromLatin1(id), BalanceDirection::Credit, M("150"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM Client WHERE FactCost <> 0")).toInt(), 0);
    EXPECT_FALSE(CheckClientUpper(db(), QStringLiteral("2000"), BalanceDirection::Credit, M("150")));
    EXPECT_TRUE(CheckClientUpper(db(), QStringLiteral("2000"), BalanceDirection::Credit, M("100")));
}

TEST_P(ClientBalanceTest, AnUnknownPartnerFailsTheSave)
{
    EXPECT_THROW(post(QStringLiteral("nobody"), BalanceDirection::Debit, M("1")), DbError);
}

VELMORA_ON_BOTH_ENGINES(ClientBalanceTest);
