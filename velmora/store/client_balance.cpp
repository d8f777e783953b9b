#include "client_balance.h"

namespace store {

bool isSystemPartner(const QString &clientId)
{
    return clientId == QLatin1String("1000") || clientId == QLatin1String("2000") || clientId == QLatin1String("3000");
}

Money balanceAfter(bool receivable, Money factCost, BalanceDirection direction, Money amount)
{
    const bool lowers = receivable == (direction == BalanceDirection::Credit);
    return lowers ? factCost - amount : factCost + amount;
}

void PostClientBalance(Database &db, const QString &clientId, BalanceDirection direction, Money amount)
{
    if (isSystemPartner(clientId))
        return;
    const Params key{{QStringLiteral("P_ClientID"), clientId}};
    const RowSet rs = db.query(
        QStringLiteral("SELECT CostType, FactCost FROM Client WHERE ClientID = :P_ClientID") + db.dialect().forUpdate(), key);
    // A bill naming a partner that is gone must not save as if it had posted.
    if (rs.isEmpty())
        throw DbError(QStringLiteral("partner %1 not found").arg(clientId));
    const Money balance = balanceAfter(sqlvalue::toBool(rs.value(0, 0)), Money::fromVariant(rs.value(0, 1)), direction, amount);
    db.exec(QStringLiteral("UPDATE Client SET FactCost = :P_FactCost WHERE ClientID = :P_ClientID"),
            {{QStringLiteral("P_FactCost"), QVariant::fromValue(balance)}, key.first()});
}

bool CheckClientUpper(Database &db, const QString &clientId, BalanceDirection direction, Money amount)
{
    const RowSet rs = db.query(QStringLiteral("SELECT CostType, ClientUpper, FactCost FROM Client WHERE ClientID = :P_ClientID"),
                               {{QStringLiteral("P_ClientID"), clientId}});
    if (rs.isEmpty())
        return true;
    const Money upper = Money::fromVariant(rs.value(0, 1));
    if (upper.isZero())
        return true;
    return balanceAfter(sqlvalue::toBool(rs.value(0, 0)), Money::fromVariant(rs.value(0, 2)), direction, amount) <= upper;
}

} // namespace store
