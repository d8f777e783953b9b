// Data-layer costs: writing a bill's lines through a batch data set against the
// same rows written by bare INSERTs, and creating a new database.
//   bench_db                      embedded engine only
//   VELMORA_BENCH_PG=host:port,user,password bench_db   PostgreSQL too
#include "dataset.h"
#include "schema/schema.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<Database> openDb(Engine engine, QTemporaryDir &dir)
{
    auto db = std::make_unique<Database>();
    if (engine == Engine::SQLite) {
        db->openSqlite(dir.filePath(QStringLiteral("bench.db")));
    } else {
        const QStringList p = qEnvironmentVariable("VELMORA_BENCH_PG").split(QLatin1Char(','));
        const ServerTarget t = ServerTarget::fromServerText(p.value(0));
        db->openPostgres(t.host, t.port, p.value(1), p.value(2), QStringLiteral("velmora_bench"), true);
        for (const QString &table : schema::existingTables(*db))
            db->execRaw(QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE").arg(table));
        for (const QString &view : schema::existingViews(*db))
            db->execRaw(QStringLiteral("DROP VIEW IF EXISTS %1 CASCADE").arg(view));
    }
    schema::create(*db);
    db->exec(QStringLiteral("INSERT INTO MerchandiseType(MerchandiseTypeID, MerchandiseTypeName) VALUES('001','手机')"));
    db->exec(QStringLiteral("INSERT INTO Merchandise(MerchandiseID, MerchandiseTypeID, MerchandiseName) VALUES('M1','001','机型')"));
    return db;
}

bool skip(benchmark::State &state, Engine engine)
{
    if (engine == Engine::PostgreSQL && qEnvironmentVariableIsEmpty("VELMORA_BENCH_PG")) {
        state.SkipWithError("VELMORA_BENCH_PG not set");
        return true;
    }
    return false;
}

void BM_BatchLines(benchmark::State &state, Engine engine)
{
    if (skip(state, engine))
        return;
    QTemporaryDir dir;
    auto db = openDb(engine, dir);
    int bill = 0;
    for (auto _ : state) {
        const QString order = QString::number(++bill).rightJustified(8, QLatin1Char('0'));
        Transaction tx(*db);
        db->exec(QStringLiteral("INSERT INTO BuyMaster(OrderID, StorehouseID) SELECT :o, min(StorehouseID) FROM Storehouse"),
                 {{QStringLiteral("o"), order}});
        DataSet lines(db.get());
        lines.setSql(QStringLiteral("SELECT * FROM BuyDetail WHERE OrderID = :o"));
        lines.setParam(QStringLiteral("o"), order);
        lines.setUpdateTable(QStringLiteral("BuyDetail"), {});
        lines.setBatchMode(true);
        lines.open();
        for (int i = 0; i < state.range(0); ++i) {
            lines.append();
            lines.setValue(QStringLiteral("OrderID"), order);
            lines.setValue(QStringLiteral("MerchandiseID"), QStringLiteral("M1"));
            lines.setValue(QStringLiteral("Amount"), 1);
            lines.setValue(QStringLiteral("Cost"), QStringLiteral("99.5"));
        }
        lines.applyUpdates();
        tx.commit();
    }
}

void BM_BareInserts(benchmark::State &state, Engine engine)
{
    if (skip(state, engine))
        return;
    QTemporaryDir dir;
    auto db = openDb(engine, dir);
    int bill = 0;
    for (auto _ : state) {
        const QString order = QString::number(++bill).rightJustified(8, QLatin1Char('0'));
        Transaction tx(*db);
        db->exec(QStringLiteral("INSERT INTO BuyMaster(OrderID, StorehouseID) SELECT :o, min(StorehouseID) FROM Storehouse"),
                 {{QStringLiteral("o"), order}});
        for (int i = 0; i < state.range(0); ++i)
            db->exec(QStringLiteral("INSERT INTO BuyDetail(OrderID, MerchandiseID, Amount, Cost) VALUES(:o,'M1',1,:c)"),
                     {{QStringLiteral("o"), order}, {QStringLiteral("c"), QStringLiteral("99.5")}});
        tx.commit();
    }
}

void BM_CreateDatabase(benchmark::State &state, Engine engine)
{
    if (skip(state, engine))
        return;
    for (auto _ : state) {
        QTemporaryDir dir;
        auto db = openDb(engine, dir);
        benchmark::DoNotOptimize(db.get());
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_BatchLines, sqlite, Engine::SQLite)->Arg(1)->Arg(10)->Arg(50);
BENCHMARK_CAPTURE(BM_BareInserts, sqlite, Engine::SQLite)->Arg(1)->Arg(10)->Arg(50);
BENCHMARK_CAPTURE(BM_BatchLines, postgres, Engine::PostgreSQL)->Arg(1)->Arg(10)->Arg(50);
BENCHMARK_CAPTURE(BM_BareInserts, postgres, Engine::PostgreSQL)->Arg(1)->Arg(10)->Arg(50);
BENCHMARK_CAPTURE(BM_CreateDatabase, sqlite, Engine::SQLite)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
