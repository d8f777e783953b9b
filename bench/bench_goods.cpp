// Saving a sales bill of 1, 10 and 50 lines through the bill code (header
// resolution, balance, stock ledger, lines) against the same master and line
// rows written by bare INSERTs, and proposing a bill number on 1 000 and on
// 1 000 000 bills; on the embedded engine and, when VELMORA_BENCH_PG is set
// (host:port,user,password), on PostgreSQL.
#include "dataset.h"
#include "goods_bill_kind.h"
#include "goods_bill_save.h"
#include "order_number.h"
#include "schema/schema.h"
#include "shopgen.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

bool skip(benchmark::State &state, Engine engine)
{
    if (engine == Engine::PostgreSQL && qEnvironmentVariableIsEmpty("VELMORA_BENCH_PG")) {
        state.SkipWithError("VELMORA_BENCH_PG not set");
        return true;
    }
    return false;
}

// One database per engine and purpose, made once per run.
struct BenchDb {
    QTemporaryDir dir;
    Database db;
};

std::unique_ptr<BenchDb> freshDb(Engine engine, const QString &name)
{
    auto b = std::make_unique<BenchDb>();
    if (engine == Engine::SQLite) {
        b->db.openSqlite(b->dir.filePath(name + QStringLiteral(".db")));
    } else {
        const QStringList p = qEnvironmentVariable("VELMORA_BENCH_PG").split(QLatin1Char(','));
        const ServerTarget t = ServerTarget::fromServerText(p.value(0));
        {
            Database admin;
            admin.openPostgres(t.host, t.port, p.value(1), p.value(2), QStringLiteral("postgres"), false);
            admin.execRaw(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        }
        b->db.openPostgres(t.host, t.port, p.value(1), p.value(2), name, true);
    }
    schema::create(b->db);
    return b;
}

Database &shop(Engine engine)
{
    static std::map<Engine, std::unique_ptr<BenchDb>> dbs;
    auto &slot = dbs[engine];
    if (!slot) {
        slot = freshDb(engine, QStringLiteral("velmora_bench_shop"));
        ShopSize size;
        generateShop(slot->db, size);
        topUpPlainStock(slot->db, 1000000);
    }
    return slot->db;
}

QStringList accessories(Database &db)
{
    QStringList out;
    const RowSet rs = db.query(QStringLiteral("SELECT MerchandiseID FROM Merchandise WHERE MerchandiseTypeID='002' ORDER BY MerchandiseID"));
    for (int i = 0; i < rs.size(); ++i)
        out << rs.value(i, 0).toString();
    return out;
}

void BM_SaveSalesBill(benchmark::State &state, Engine engine)
{
    if (skip(state, engine))
        return;
    Database &db = shop(engine);
    const QStringList goods = accessories(db);
    const int n = int(state.range(0));
    for (auto _ : state) {
        DataSet lines(&db);
        lines.setSql(QStringLiteral("Select * From SellDetail Where OrderID=''"));
        lines.setUpdateTable(QStringLiteral("SellDetail"), {QStringLiteral("RecordID")});
        lines.setBatchMode(true);
        lines.open();
        Money total;
        for (int i = 0; i < n; ++i) {
            lines.append();
            lines.setValue(QStringLiteral("MerchandiseID"), goods[i % goods.size()]);
            lines.setValue(QStringLiteral("MerchandiseName"), goods[i % goods.size()]);
            lines.setValue(QStringLiteral("Amount"), 1);
            lines.setValue(QStringLiteral("Cost"), QStringLiteral("19.9"));
            lines.setValue(QStringLiteral("TotalCost"), QStringLiteral("19.9"));
            lines.setValue(QStringLiteral("ClerkID"), QStringLiteral("E001"));
            total += Money::parse(QStringLiteral("19.9"));
        }
        lines.post();
        GoodsBillHeader h;
        h.orderId = NextOrderID(db, QStringLiteral("SellMaster"));
        h.date = QDateTime::currentDateTime();
        h.partnerName = QStringLiteral("往来单位1");
        h.storehouseName = QStringLiteral("门市");
        h.clerkId = QStringLiteral("E001");
        h.accountName = QStringLiteral("现金");
        h.settled = total - Money::fromUnits(5);
        h.open = Money::fromUnits(5);
        const ResolvedBill bill = resolveGoodsBill(db, salesBill(), h, n);
        postGoodsBill(db, salesBill(), bill, lines, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_BareInserts(benchmark::State &state, Engine engine)
{
    if (skip(state, engine))
        return;
    Database &db = shop(engine);
    const QStringList goods = accessories(db);
    const int n = int(state.range(0));
    static int bill = 0; // unique across the runs of every size
    for (auto _ : state) {
        const QString order = QStringLiteral("BARE%1").arg(++bill, 8, 10, QLatin1Char('0'));
        Transaction tx(db);
        db.exec(QStringLiteral("INSERT INTO SellMaster(OrderID,SellDate,StorehouseID,ClientID,ClerkID,AccountID,Cost,TotalCost,Resume) "
                               "VALUES(:o,:d,1,'P0001','E001',1,:c,5,'')"),
                {{QStringLiteral("o"), order}, {QStringLiteral("d"), QDateTime::currentDateTime()}, {QStringLiteral("c"), QStringLiteral("14.9")}});
        for (int i = 0; i < n; ++i)
            db.exec(QStringLiteral("INSERT INTO SellDetail(OrderID,MerchandiseID,MerchandiseName,Amount,Cost,TotalCost,ClerkID,InCost) "
                                   "VALUES(:o,:g,:g,1,:c,:c,'E001',10)"),
                    {{QStringLiteral("o"), order}, {QStringLiteral("g"), goods[i % goods.size()]}, {QStringLiteral("c"), QStringLiteral("19.9")}});
        tx.commit();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_NextOrderID(benchmark::State &state, Engine engine)
{
    if (skip(state, engine))
        return;
    const qlonglong n = state.range(0);
    static std::map<std::pair<Engine, qlonglong>, std::unique_ptr<BenchDb>> dbs;
    auto &slot = dbs[{engine, n}];
    if (!slot) {
        slot = freshDb(engine, QStringLiteral("velmora_bench_numbers_%1").arg(n));
        const QString fill = engine == Engine::SQLite
                                 ? QStringLiteral("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM k WHERE i < %1) "
                                                  "INSERT INTO SpillMaster(OrderID) SELECT substr('00000000' || i, -8, 8) FROM k")
                                 : QStringLiteral("INSERT INTO SpillMaster(OrderID) SELECT lpad(i::text, 8, '0') FROM generate_series(1, %1) AS i");
        slot->db.execRaw(fill.arg(n));
        if (engine == Engine::PostgreSQL)
            slot->db.execRaw(QStringLiteral("ANALYZE SpillMaster"));
    }
    QString next;
    for (auto _ : state)
        benchmark::DoNotOptimize(next = NextOrderID(slot->db, QStringLiteral("SpillMaster")));
    if (next != QString::number(n + 1).rightJustified(8, QLatin1Char('0')))
        state.SkipWithError("wrong proposal");
}

} // namespace

BENCHMARK_CAPTURE(BM_SaveSalesBill, sqlite, Engine::SQLite)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareInserts, sqlite, Engine::SQLite)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveSalesBill, postgres, Engine::PostgreSQL)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareInserts, postgres, Engine::PostgreSQL)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NextOrderID, sqlite, Engine::SQLite)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NextOrderID, postgres, Engine::PostgreSQL)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
