// The stock ledger: head rows, batches (one per handset for IMEI goods) and
// cost layers. The unique indexes let the database itself refuse a second head
// row for a goods in a warehouse and a second copy of an IMEI or number.
#include "dsl.h"

using namespace schemadsl;

SchemaPart stockSchema()
{
    SchemaPart p;
    p.name = QStringLiteral("stock");
    const QString R = QStringLiteral("RecordID"), O = QStringLiteral("OrderID");
    p.tables = {
        {QStringLiteral("StockMaster"),
         {identity(R), text(QStringLiteral("MerchandiseID"), 25), integer(QStringLiteral("StorehouseID"), true),
          integer(QStringLiteral("StockAmount"), true, QStringLiteral("0")), integer(QStringLiteral("StockUpper"), false, QStringLiteral("0")),
          integer(QStringLiteral("StockLower"), false, QStringLiteral("0")), real(QStringLiteral("Rate")),
          text(QStringLiteral("NumberType"), 15)},
         {},
         {fk(QStringLiteral("MerchandiseID"), QStringLiteral("Merchandise"), QStringLiteral("MerchandiseID")),
          fk(QStringLiteral("StorehouseID"), QStringLiteral("Storehouse"), QStringLiteral("StorehouseID"))},
         {unique(QStringLiteral("ux_stockmaster_goods"), {QStringLiteral("MerchandiseID"), QStringLiteral("StorehouseID")},
                 QStringLiteral("NumberType IS NULL")),
          unique(QStringLiteral("ux_stockmaster_number"), {QStringLiteral("NumberType"), QStringLiteral("StorehouseID")},
                 QStringLiteral("NumberType IS NOT NULL")),
          index(QStringLiteral("ix_stockmaster_store"), {QStringLiteral("StorehouseID")})}},
        {QStringLiteral("StockDetail"),
         {identity(R), integer(O, true), text(QStringLiteral("IMEI"), 25), text(QStringLiteral("SN"), 25),
          integer(QStringLiteral("Amount"), false, QStringLiteral("1")), integer(QStringLiteral("MerchandiseColorID")),
          money(QStringLiteral("Cost")), money(QStringLiteral("ReturnCost")), money(QStringLiteral("MGRCost")),
          money(QStringLiteral("JobCost")), money(QStringLiteral("CounterCost"))},
         {},
         {fk(O, QStringLiteral("StockMaster"), R), fk(QStringLiteral("MerchandiseColorID"), QStringLiteral("Color"), QStringLiteral("ColorID"))},
         {index(QStringLiteral("ix_stockdetail_order"), {O, R}),
          unique(QStringLiteral("ux_stockdetail_imei"), {QStringLiteral("IMEI")}, QStringLiteral("IMEI IS NOT NULL AND IMEI <> ''"))}},
        {QStringLiteral("StockCost"),
         {identity(R), integer(O, true), money(QStringLiteral("InCost"))},
         {},
         {fk(O, QStringLiteral("StockMaster"), R)},
         {index(QStringLiteral("ix_stockcost_order"), {O, R})}},
    };
    return p;
}
