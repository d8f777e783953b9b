// Money bills: receipts, payments, other income, expenses and fund transfers.
#include "dsl.h"

using namespace schemadsl;

namespace {

TableDef master(const QString &name, const QString &dateName, bool storehouse, bool partner)
{
    TableDef t{name, {text(QStringLiteral("OrderID"), 25, true), datetime(dateName)}, {QStringLiteral("OrderID")}, {},
               {index(QStringLiteral("ix_%1_date").arg(name.toLower()), {dateName})}};
    if (storehouse) {
        t.columns << integer(QStringLiteral("StorehouseID"));
        t.foreignKeys << fk(QStringLiteral("StorehouseID"), QStringLiteral("Storehouse"), QStringLiteral("StorehouseID"));
    }
    if (partner) {
        t.columns << text(QStringLiteral("ClientID"), 25);
        t.foreignKeys << fk(QStringLiteral("ClientID"), QStringLiteral("Client"), QStringLiteral("ClientID"));
        t.indexes << index(QStringLiteral("ix_%1_client").arg(name.toLower()), {QStringLiteral("ClientID")});
    }
    t.columns << text(QStringLiteral("ClerkID"), 25) << text(QStringLiteral("Resume"), 255);
    t.foreignKeys << fk(QStringLiteral("ClerkID"), QStringLiteral("Clerk"), QStringLiteral("ClerkID"));
    return t;
}

TableDef lines(const QString &name, const QString &masterName, const QList<ColumnDef> &middle,
               const QList<ForeignKey> &keys)
{
    TableDef t{name, {identity(QStringLiteral("RecordID")), text(QStringLiteral("OrderID"), 25, true)}, {}, {},
               {index(QStringLiteral("ix_%1_order").arg(name.toLower()), {QStringLiteral("OrderID")})}};
    t.columns << middle;
    t.foreignKeys << owner(QStringLiteral("OrderID"), masterName, QStringLiteral("OrderID")) << keys;
    return t;
}

} // namespace

SchemaPart moneySchema()
{
    SchemaPart p;
    p.name = QStringLiteral("money");
    const ForeignKey account = fk(QStringLiteral("AccountID"), QStringLiteral("CostAccount"), QStringLiteral("AccountID"));
    const ForeignKey item = fk(QStringLiteral("ItemID"), QStringLiteral("CostItem"), QStringLiteral("ItemID"));
    const QList<ColumnDef> settlement{integer(QStringLiteral("AccountID")), text(QStringLiteral("AccountName"), 30),
                                      money(QStringLiteral("Cost")), text(QStringLiteral("IMEI"), 25),
                                      text(QStringLiteral("Remark"), 255)};
    const QList<ColumnDef> itemised{integer(QStringLiteral("ItemID")), text(QStringLiteral("ItemName"), 48),
                                    integer(QStringLiteral("AccountID")), text(QStringLiteral("AccountName"), 30),
                                    money(QStringLiteral("Cost")), text(QStringLiteral("Remark"), 255)};

    p.tables << master(QStringLiteral("GatheringMaster"), QStringLiteral("GatheringDate"), true, true)
             << lines(QStringLiteral("GatheringDetail"), QStringLiteral("GatheringMaster"), settlement, {account})
             << master(QStringLiteral("PaymentMaster"), QStringLiteral("PaymentDate"), true, true)
             << lines(QStringLiteral("PaymentDetail"), QStringLiteral("PaymentMaster"), settlement, {account})
             << master(QStringLiteral("OtherMaster"), QStringLiteral("GatheringDate"), false, true)
             << lines(QStringLiteral("OtherDetail"), QStringLiteral("OtherMaster"), itemised, {item, account})
             << master(QStringLiteral("ChargeMaster"), QStringLiteral("PaymentDate"), false, true)
             << lines(QStringLiteral("ChargeDetail"), QStringLiteral("ChargeMaster"), itemised, {item, account})
             << master(QStringLiteral("ChangeMoneyMaster"), QStringLiteral("ChangeMoneyDate"), false, false)
             << lines(QStringLiteral("ChangeMoneyDetail"), QStringLiteral("ChangeMoneyMaster"),
                      {integer(QStringLiteral("OutAccountID")), text(QStringLiteral("OutAccountName"), 30),
                       money(QStringLiteral("Cost")), integer(QStringLiteral("InAccountID")),
                       text(QStringLiteral("InAccountName"), 30), text(QStringLiteral("Remark"), 255)},
                      {fk(QStringLiteral("OutAccountID"), QStringLiteral("CostAccount"), QStringLiteral("AccountID")),
                       fk(QStringLiteral("InAccountID"), QStringLiteral("CostAccount"), QStringLiteral("AccountID"))});
    return p;
}
