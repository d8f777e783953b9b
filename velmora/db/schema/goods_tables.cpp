// Goods bills: one master and one detail table per bill kind, and the buyers.
#include "dsl.h"

using namespace schemadsl;

namespace {

struct GoodsBill {
    const char *prefix;   // "Buy" → BuyMaster, BuyDetail
    const char *dateName; // "BuyDate"
    bool partner;         // has ClientID
    bool money;           // has AccountID, Cost, TotalCost
};

const GoodsBill kBills[] = {
    {"Buy", "BuyDate", true, true},           {"Sell", "SellDate", true, true},
    {"BuyReturn", "ReturnDate", true, true},  {"SellReturn", "ReturnDate", true, true},
    {"Spill", "SpillDate", false, false},     {"Lose", "LoseDate", false, false},
    {"Gain", "GainDate", true, false},        {"Largess", "LargessDate", true, false},
};

QList<ColumnDef> commonLineColumns()
{
    return {identity(QStringLiteral("RecordID")),
            text(QStringLiteral("OrderID"), 25, true),
            text(QStringLiteral("MerchandiseID"), 25),
            text(QStringLiteral("MerchandiseName"), 48),
            text(QStringLiteral("Unit"), 8),
            text(QStringLiteral("Spec"), 25),
            integer(QStringLiteral("MerchandiseConfigID")),
            integer(QStringLiteral("MerchandiseColorID")),
            text(QStringLiteral("IMEI"), 25),
            text(QStringLiteral("SN"), 25),
            integer(QStringLiteral("Amount"), false, QStringLiteral("0")),
            money(QStringLiteral("Cost")),
            money(QStringLiteral("TotalCost")),
            text(QStringLiteral("Remark"), 255)};
}

QList<ForeignKey> commonLineKeys(const QString &master)
{
    return {owner(QStringLiteral("OrderID"), master, QStringLiteral("OrderID")),
            fk(QStringLiteral("MerchandiseID"), QStringLiteral("Merchandise"), QStringLiteral("MerchandiseID")),
            fk(QStringLiteral("MerchandiseConfigID"), QStringLiteral("Config"), QStringLiteral("ConfigID")),
            fk(QStringLiteral("MerchandiseColorID"), QStringLiteral("Color"), QStringLiteral("ColorID"))};
}

QList<IndexDef> commonLineIndexes(const QString &detail)
{
    const QString l = detail.toLower();
    return {index(QStringLiteral("ix_%1_order").arg(l), {QStringLiteral("OrderID")}),
            index(QStringLiteral("ix_%1_goods").arg(l), {QStringLiteral("MerchandiseID")}),
            index(QStringLiteral("ix_%1_imei").arg(l), {QStringLiteral("IMEI")})};
}

TableDef master(const GoodsBill &b)
{
    const QString name = QString::fromLatin1(b.prefix) + QStringLiteral("Master");
    const QString date = QString::fromLatin1(b.dateName);
    TableDef t{name,
               {text(QStringLiteral("OrderID"), 25, true), datetime(date), integer(QStringLiteral("StorehouseID"))},
               {QStringLiteral("OrderID")},
               {fk(QStringLiteral("StorehouseID"), QStringLiteral("Storehouse"), QStringLiteral("StorehouseID"))},
               {index(QStringLiteral("ix_%1_date").arg(name.toLower()), {date})}};
    if (b.partner) {
        t.columns << text(QStringLiteral("ClientID"), 25);
        t.foreignKeys << fk(QStringLiteral("ClientID"), QStringLiteral("Client"), QStringLiteral("ClientID"));
        t.indexes << index(QStringLiteral("ix_%1_client").arg(name.toLower()), {QStringLiteral("ClientID")});
    }
    t.columns << text(QStringLiteral("ClerkID"), 25);
    t.foreignKeys << fk(QStringLiteral("ClerkID"), QStringLiteral("Clerk"), QStringLiteral("ClerkID"));
    if (b.money) {
        t.columns << integer(QStringLiteral("AccountID")) << money(QStringLiteral("Cost")) << money(QStringLiteral("TotalCost"));
        t.foreignKeys << fk(QStringLiteral("AccountID"), QStringLiteral("CostAccount"), QStringLiteral("AccountID"));
        t.indexes << index(QStringLiteral("ix_%1_account").arg(name.toLower()), {QStringLiteral("AccountID")});
    }
    t.columns << text(QStringLiteral("Resume"), 255);
    return t;
}

TableDef detail(const QString &prefix, const QList<ColumnDef> &extra, const QList<ForeignKey> &extraKeys = {})
{
    const QString name = prefix + QStringLiteral("Detail");
    TableDef t{name, commonLineColumns() + extra, {}, commonLineKeys(prefix + QStringLiteral("Master")),
               commonLineIndexes(name)};
    t.foreignKeys << extraKeys;
    return t;
}

} // namespace

SchemaPart goodsSchema()
{
    SchemaPart p;
    p.name = QStringLiteral("goods");
    p.tables << TableDef{QStringLiteral("Buyer"),
                         {identity(QStringLiteral("BuyerID")), text(QStringLiteral("BuyerName"), 48),
                          text(QStringLiteral("IDCard"), 30), text(QStringLiteral("Address"), 48),
                          text(QStringLiteral("Mail"), 20), text(QStringLiteral("Phone"), 50)},
                         {},
                         {},
                         {}};
    for (const GoodsBill &b : kBills)
        p.tables << master(b);

    const ForeignKey salesperson = fk(QStringLiteral("ClerkID"), QStringLiteral("Clerk"), QStringLiteral("ClerkID"));
    const ForeignKey buyer = fk(QStringLiteral("BuyerID"), QStringLiteral("Buyer"), QStringLiteral("BuyerID"));
    p.tables << detail(QStringLiteral("Buy"), {boolean(QStringLiteral("PaymentStates")), datetime(QStringLiteral("PaymentDate"))});
    p.tables << detail(QStringLiteral("Sell"),
                       {boolean(QStringLiteral("Largess")), boolean(QStringLiteral("GatheringStates")),
                        datetime(QStringLiteral("GatheringDate")), text(QStringLiteral("ClerkID"), 25),
                        integer(QStringLiteral("BuyerID")), money(QStringLiteral("InCost"))},
                       {salesperson, buyer});
    p.tables << detail(QStringLiteral("BuyReturn"),
                       {boolean(QStringLiteral("GatheringStates")), datetime(QStringLiteral("GatheringDate"))});
    p.tables << detail(QStringLiteral("SellReturn"),
                       {boolean(QStringLiteral("Largess")), boolean(QStringLiteral("PaymentStates")),
                        datetime(QStringLiteral("PaymentDate")), text(QStringLiteral("ClerkID"), 25),
                        integer(QStringLiteral("BuyerID"))},
                       {salesperson, buyer});

    // The transfer has two warehouses and two clerks instead of one of each.
    p.tables << TableDef{QStringLiteral("ExchangeMaster"),
                         {text(QStringLiteral("OrderID"), 25, true), datetime(QStringLiteral("ExchangeDate")),
                          integer(QStringLiteral("OutStorehouseID")), integer(QStringLiteral("InStorehouseID")),
                          text(QStringLiteral("OutClerkID"), 25), text(QStringLiteral("InClerkID"), 25),
                          text(QStringLiteral("Resume"), 255)},
                         {QStringLiteral("OrderID")},
                         {fk(QStringLiteral("OutStorehouseID"), QStringLiteral("Storehouse"), QStringLiteral("StorehouseID")),
                          fk(QStringLiteral("InStorehouseID"), QStringLiteral("Storehouse"), QStringLiteral("StorehouseID")),
                          fk(QStringLiteral("OutClerkID"), QStringLiteral("Clerk"), QStringLiteral("ClerkID")),
                          fk(QStringLiteral("InClerkID"), QStringLiteral("Clerk"), QStringLiteral("ClerkID"))},
                         {index(QStringLiteral("ix_exchangemaster_date"), {QStringLiteral("ExchangeDate")})}};
    p.tables << detail(QStringLiteral("Exchange"), {money(QStringLiteral("InCost"))});
    for (const char *prefix : {"Spill", "Lose", "Gain", "Largess"})
        p.tables << detail(QString::fromLatin1(prefix), {});
    return p;
}
