#include "stock_report.h"

namespace store {

void CreateStockDetail(Database &db)
{
    Transaction tx(db);
    // One table for every workstation: two rebuilds at once would each keep the
    // other's rows, so they queue. Readers are not blocked.
    if (db.engine() == Engine::PostgreSQL)
        db.execRaw(QStringLiteral("LOCK TABLE StockDetailFull IN SHARE ROW EXCLUSIVE MODE"));
    db.exec(QStringLiteral("DELETE FROM StockDetailFull"));
    db.exec(QStringLiteral(
        "INSERT INTO StockDetailFull(RecordID, OrderID, IMEI, SN, ColorName, Amount, Cost, ReturnCost, MGRCost, JobCost, "
        "CounterCost, InCost, RecordID1) "
        "SELECT D.RecordID, D.OrderID, D.IMEI, D.SN, CL.ColorName, D.Amount, D.Cost, D.ReturnCost, D.MGRCost, D.JobCost, "
        "D.CounterCost, C.InCost, CAST(C.RecordID AS VARCHAR(10)) "
        "FROM (SELECT SD.*, ROW_NUMBER() OVER (PARTITION BY SD.OrderID ORDER BY SD.RecordID) AS Pos FROM StockDetail SD) D "
        "LEFT JOIN (SELECT SC.RecordID, SC.OrderID, SC.InCost, "
        "ROW_NUMBER() OVER (PARTITION BY SC.OrderID ORDER BY SC.RecordID) AS Pos FROM StockCost SC) C "
        "ON C.OrderID = D.OrderID AND C.Pos = D.Pos "
        "LEFT JOIN Color CL ON CL.ColorID = D.MerchandiseColorID"));
    tx.commit();
}

} // namespace store
