#pragma once
// The source of the stock reports that list batches with their costs.
#include "database.h"

namespace store {

// Refills StockDetailFull: one row per StockDetail row with its colour name,
// prices and the cost layer at the same position within its head row (n-th
// batch with n-th layer). Set-based; joins the caller's transaction if any.
void CreateStockDetail(Database &db);

} // namespace store
