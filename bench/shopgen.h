#pragma once
// Fills a new database with a shop of a chosen size: goods with and without
// IMEI, partners, staff, several warehouses, and years of purchases and sales
// saved through the same code as the bill windows.
#include <QString>

class Database;

struct ShopSize {
    int goods = 200;
    int partners = 40;
    int clerks = 12;
    int warehouses = 4;
    int purchases = 300; // bills
    int sales = 600;     // bills
    int linesPerBill = 4;
};

void generateShop(Database &db, const ShopSize &size, unsigned seed = 1);
// Adds plain (non-IMEI) stock of every goods in the first warehouse, enough for
// `units` more units of each to be sold.
void topUpPlainStock(Database &db, int units);
