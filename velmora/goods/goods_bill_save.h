#pragma once
// Saving a goods bill, without the window: the header checks and name
// resolution, then one transaction with the master row, the partner balance,
// every line through the stock ledger, and the lines themselves.
#include "goods_bill_kind.h"

#include <QDateTime>
#include <QVariant>
#include <stdexcept>

class DataSet;
class Database;

// A header check that stops the save; message() is what the user is told.
class BillRefusal : public std::runtime_error {
public:
    explicit BillRefusal(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const { return message_; }

private:
    QString message_;
};

struct GoodsBillHeader {
    QString orderId;
    QDateTime date;
    QString partnerName;
    QString storehouseName;
    QString clerkId;
    QString accountName;
    Money settled; // paid or received with the bill
    Money open;    // left owing
    QString resume;
};

struct ResolvedBill {
    GoodsBillHeader header;
    QString clientId;
    int storehouseId = 0;
    QVariant accountId;
};

// The header checks in their order, the unused number, then names to IDs.
ResolvedBill resolveGoodsBill(Database &db, const GoodsBillKind &kind, const GoodsBillHeader &header, int lineCount);
// True when the open amount stays within the partner's credit limit (or is 0).
bool withinCreditLimit(Database &db, const GoodsBillKind &kind, const ResolvedBill &bill);
// Writes the bill in one transaction. A ledger refusal (store::StockRefusal) or
// a database error (DbError) undoes all of it; the lines stay in the data set.
void postGoodsBill(Database &db, const GoodsBillKind &kind, const ResolvedBill &bill, DataSet &lines,
                   store::StockWarnings *warnings);
