// Two workstations posting the same goods at once on PostgreSQL: the second
// post must wait for the first bill to commit and then see its result.
#include "client_balance.h"
#include "store_fixture.h"

#include <QThread>
#include <functional>
#include <thread>

using namespace store;

namespace {

enum class Outcome { None, Posted, Refused, Failed };
[[maybe_unused]] void PrintTo(Outcome o, std::ostream *os)
{
    static const char *const names[] = {"none", "posted", "refused", "failed"};
    *os << names[int(o)];
}

class RaceTest : public testing::Test {
protected:
    void SetUp() override
    {
        scratch = std::make_unique<ScratchDatabase>(Engine::PostgreSQL);
        observer = scratch->connectAgain();
        shop = int(db().insertReturningId(QStringLiteral("INSERT INTO Storehouse(StorehouseName) VALUES('门店')"), {},
                                          QStringLiteral("StorehouseID")));
        db().exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseName) VALUES('G1', '甲')"));
    }
    Database &db() { return scratch->db(); }

    // Runs post on a second connection in its own transaction while this
    // connection's transaction (opened by the caller) holds its locks; commits
    // the first once the second waits on a lock, then lets the second finish.
    Outcome race(const std::function<void(Database &)> &post)
    {
        Outcome outcome = Outcome::None;
        std::string error;
        std::thread second([&] {
            try {
                std::unique_ptr<Database> other = scratch->connectAgain();
                Transaction tx(*other);
                try {
                    post(*other);
                    tx.commit();
                    outcome = Outcome::Posted;
                } catch (const StockRefusal &) {
                    outcome = Outcome::Refused;
                }
            } catch (const std::exception &e) {
                outcome = Outcome::Failed;
                error = e.what();
            }
        });
        // Not a timing assertion: only how long to look for the waiting post.
        for (int i = 0; i < 500 && !secondIsWaiting(); ++i)
            QThread::msleep(20);
        EXPECT_TRUE(secondIsWaiting()) << "the second post did not wait for the first";
        db().commit();
        second.join();
        EXPECT_NE(outcome, Outcome::Failed) << error;
        return outcome;
    }
    bool secondIsWaiting()
    {
        return observer
                   ->scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                                           "AND wait_event_type = 'Lock'"))
                   .toInt()
               > 0;
    }
    void receive(int amount, const QString &imei = {})
    {
        Transaction tx(db());
        PostStockIn(db(), {QStringLiteral("G1"), shop, imei, {}, amount, 0, M("10"), QStringLiteral("甲")});
        tx.commit();
    }
    int count(const char *sql) { return observer->scalar(QString::fromLatin1(sql)).toInt(); }

    std::unique_ptr<ScratchDatabase> scratch;
    std::unique_ptr<Database> observer;
    int shop = 0;
};

} // namespace

TEST_F(RaceTest, TheLastUnitsOrTheSameHandsetAreSoldOnce)
{
    struct Case {
        const char *imei;
        int amount;
    } cases[] = {{"", 3}, {"861", 1}};
    for (const Case &c : cases) {
        const QString imei = QString::fromLatin1(c.imei);
        SCOPED_TRACE(c.imei);
        db().exec(QStringLiteral("DELETE FROM StockCost"));
        db().exec(QStringLiteral("DELETE FROM StockDetail"));
        db().exec(QStringLiteral("DELETE FROM StockMaster"));
        if (imei.isEmpty()) {
            receive(3);
        } else {
            receive(1, imei);
            receive(1, QStringLiteral("862"));
        }
        const int before = count("SELECT StockAmount FROM StockMaster");
        db().begin();
        PostStockOut(db(), {QStringLiteral("G1"), shop, imei, c.amount, QStringLiteral("甲")});
        const Outcome second = race([&](Database &other) {
            PostStockOut(other, {QStringLiteral("G1"), shop, imei, c.amount, QStringLiteral("甲")});
        });
        EXPECT_EQ(second, Outcome::Refused);
        EXPECT_EQ(count("SELECT StockAmount FROM StockMaster"), before - c.amount);
        EXPECT_EQ(count("SELECT COALESCE(SUM(Amount), 0) FROM StockDetail"), before - c.amount);
        EXPECT_EQ(count("SELECT count(*) FROM StockCost"), before - c.amount);
    }
}

TEST_F(RaceTest, TwoFirstReceiptsMakeOneHeadRow)
{
    db().begin();
    PostStockIn(db(), {QStringLiteral("G1"), shop, {}, {}, 2, 0, M("10"), QStringLiteral("甲")});
    const Outcome second = race([&](Database &other) {
        PostStockIn(other, {QStringLiteral("G1"), shop, {}, {}, 3, 0, M("12"), QStringLiteral("甲")});
    });
    EXPECT_EQ(second, Outcome::Posted);
    EXPECT_EQ(count("SELECT count(*) FROM StockMaster"), 1);
    EXPECT_EQ(count("SELECT StockAmount FROM StockMaster"), 5);
    EXPECT_EQ(count("SELECT count(*) FROM StockDetail"), 2);
}

TEST_F(RaceTest, TwoPostingsToOnePartnerBothCount)
{
    db().exec(QStringLiteral("INSERT INTO Client(ClientID, ClientName, CostType, FactCost) VALUES('C1', '客户', 1, 100)"));
    db().begin();
    PostClientBalance(db(), QStringLiteral("C1"), BalanceDirection::Debit, M("40"));
    const Outcome second = race([&](Database &other) {
        PostClientBalance(other, QStringLiteral("C1"), BalanceDirection::Debit, M("60"));
    });
    EXPECT_EQ(second, Outcome::Posted);
    EXPECT_EQ(Money::fromVariant(observer->scalar(QStringLiteral("SELECT FactCost FROM Client WHERE ClientID = 'C1'"))),
              M("200"));
}
