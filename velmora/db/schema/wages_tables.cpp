// Wages and commission: the commission items.
#include "dsl.h"

using namespace schemadsl;

SchemaPart wagesSchema()
{
    SchemaPart p;
    p.name = QStringLiteral("wages");
    p.tables = {
        {QStringLiteral("PutCostItem"),
         {text(QStringLiteral("ItemID"), 25, true), text(QStringLiteral("ItemName"), 30),
          text(QStringLiteral("ItemDetail"), 255), text(QStringLiteral("Remark"), 255)},
         {QStringLiteral("ItemID")},
         {},
         {}},
    };
    // The commission window cannot add items, so they come with the database.
    p.seeds = {
        {QStringLiteral("PutCostItem"),
         {QStringLiteral("ItemID"), QStringLiteral("ItemName")},
         {{QStringLiteral("A1"), QStringLiteral("提成1")},
          {QStringLiteral("A2"), QStringLiteral("提成2")},
          {QStringLiteral("A3"), QStringLiteral("提成3")}},
         true},
    };
    return p;
}
