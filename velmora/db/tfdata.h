#pragma once
// The data module: the program's one connection and its shared scratch query.
#include "dataset.h"

class TFData {
public:
    TFData();

    // Opens the database a connection string names; a new database gets its
    // tables and initial rows, an older one is upgraded.
    void connect(const QString &connectionString, const Database::Options &options = {});

    Database ADOConnection1;
    DataSet ADOQTemp;
};
