#pragma once
// Fresh databases for tests, on either engine. PostgreSQL tests use the
// throwaway cluster CTest starts; without it they fail loudly.
#include "database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

struct PgServer {
    QString host;
    int port = 0;
    QString user;
    QString password;
    QString serverText; // "host:port"
};

// The test cluster's address; fails the current test when there is none.
PgServer testPgServer();

// A new empty database that is removed again when the object dies.
class ScratchDatabase {
public:
    explicit ScratchDatabase(Engine engine, bool withSchema = true);
    ~ScratchDatabase();
    Database &db() { return *db_; }
    Database *operator->() { return db_.get(); }
    // A second connection to the same database (for races and checks).
    std::unique_ptr<Database> connectAgain() const;
    // Opens the given connection on this database (a TFData's ADOConnection1).
    void openLike(Database &target) const;
    const QString &name() const { return name_; }
    const QString &sqliteFile() const { return file_; }

private:
    Engine engine_;
    QTemporaryDir dir_;
    QString file_;
    QString name_;
    std::unique_ptr<Database> db_;
};

inline std::string engineName(const testing::TestParamInfo<Engine> &info)
{
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

#define VELMORA_ON_BOTH_ENGINES(Suite)                                                                          \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName)
