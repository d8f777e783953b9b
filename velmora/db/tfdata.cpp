#include "tfdata.h"

TFData::TFData() : ADOQTemp(&ADOConnection1) {}

void TFData::connect(const QString &connectionString, const Database::Options &options)
{
    ADOConnection1.open(ConnectionString::parse(connectionString), options);
    schema::ensure(ADOConnection1);
}
