// The stock ledger: head rows, batches (one per handset for IMEI goods) and
// cost layers. The unique indexes let the database itself refuse a second head
// row for a goods in a warehouse and a second copy of an IMEI or number.
// The views and StockDetailFull are what the stock reports read.
#include "dsl.h"

using namespace schemadsl;

namespace {

QStringList stockStatusCreate(const Dialect &)
{
    // Number rows have no goods: the goods side is joined loosely so they stay.
    return {QStringLiteral(
        "CREATE VIEW StockStatus AS SELECT SM.RecordID, SM.MerchandiseID, M.MerchandiseName, M.Unit, M.Spec, "
        "COALESCE(C.ConfigName,'') AS ConfigName, M.ProducingArea, M.Rank, SM.StockAmount, SM.StockUpper, "
        "SM.StockLower, SM.Rate, COALESCE(M.Magistral,0) AS Magistral, M.Remark, SM.NumberType, 0 AS Remind, "
        "MT.MerchandiseTypeName, SM.StorehouseID "
        "FROM StockMaster SM LEFT JOIN Merchandise M ON M.MerchandiseID = SM.MerchandiseID "
        "LEFT JOIN MerchandiseType MT ON MT.MerchandiseTypeID = M.MerchandiseTypeID "
        "LEFT JOIN Config C ON C.ConfigID = M.MerchandiseConfigID")};
}

QStringList stockStatusDetailCreate(const Dialect &)
{
    return {QStringLiteral("CREATE VIEW StockStatusDetail AS SELECT OrderID, IMEI FROM StockDetail")};
}

QStringList stockStatusDetail1Create(const Dialect &)
{
    return {QStringLiteral("CREATE VIEW StockStatusDetail1 AS SELECT SD.OrderID, CL.ColorName "
                           "FROM StockDetail SD LEFT JOIN Color CL ON CL.ColorID = SD.MerchandiseColorID")};
}

} // namespace

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
        // Rebuilt from the three tables above whenever a stock report opens; no
        // foreign keys, it is a picture of the stock at that moment.
        {QStringLiteral("StockDetailFull"),
         {integer(R, true), integer(O), text(QStringLiteral("IMEI"), 25), text(QStringLiteral("SN"), 25),
          text(QStringLiteral("ColorName"), 20), integer(QStringLiteral("Amount")), money(QStringLiteral("Cost")),
          money(QStringLiteral("ReturnCost")), money(QStringLiteral("MGRCost")), money(QStringLiteral("JobCost")),
          money(QStringLiteral("CounterCost")), money(QStringLiteral("InCost"), {}), text(QStringLiteral("RecordID1"), 10)},
         {R},
         {},
         {index(QStringLiteral("ix_stockdetailfull_order"), {O, R})}},
    };
    p.views = {{QStringLiteral("StockStatus"), stockStatusCreate, {}},
               {QStringLiteral("StockStatusDetail"), stockStatusDetailCreate, {}},
               {QStringLiteral("StockStatusDetail1"), stockStatusDetail1Create, {}}};
    return p;
}
