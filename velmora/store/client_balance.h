#pragma once
// Partner balances: Client.FactCost in the direction Client.CostType gives
// (true: receivable 应收, false: payable 应付), and the credit limit
// Client.ClientUpper (0 or null: none).
#include "database.h"
#include "money.h"

#include <QString>

namespace store {

// Credit: the shop's debt grows or the partner's shrinks (purchase, sales
// return, receipt, other income). Debit: the other way (sale, purchase return,
// payment, expense).
enum class BalanceDirection { Credit, Debit };

// The partners the database holds from the start; their balance is never posted.
bool isSystemPartner(const QString &clientId);

// The balance a posting leaves, for a partner of that kind.
Money balanceAfter(bool receivable, Money factCost, BalanceDirection direction, Money amount);

// Moves the partner's balance inside the caller's transaction; the row stays
// locked until it ends. Nothing for the system partners. Throws DbError when
// the partner does not exist.
void PostClientBalance(Database &db, const QString &clientId, BalanceDirection direction, Money amount);

// True when the posting may go ahead without asking: no limit, or the balance
// it would leave does not exceed the limit. The system partners are checked too.
bool CheckClientUpper(Database &db, const QString &clientId, BalanceDirection direction, Money amount);

} // namespace store
