#pragma once
// Bill numbers: the next number after the greatest one of a bill table.
#include <QString>

class Database;

// The number that follows `greatest`: its trailing digits counted up at the
// same width ("JH0099" → "JH0100", "JH99" → "J100"; of nine or more digits the
// first eight stay and the rest counts up). A number not ending in a digit, or
// none at all, gives the row count plus one in eight digits ("00000001").
QString NextOrderIDAfter(const QString &greatest, qlonglong rowCount);

// Proposes the next number of a master table. Reads only the greatest number
// (through the key's index) and, when needed, the row count.
QString NextOrderID(Database &db, const QString &masterTable);
