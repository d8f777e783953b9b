// Warehouses, colours, configurations, goods and categories, partners, staff,
// departments, duties, fund accounts, income and expense items.
#include "../dialect.h"
#include "dsl.h"

using namespace schemadsl;

namespace {

const char *kMerchandiseColumns[] = {"MerchandiseID", "MerchandiseTypeID", "MerchandiseName", "Unit", "Spec",
                                     "ProducingArea", "Rank", "Magistral", "Remark", "MerchandiseConfigID"};

QStringList merchandiseColumns()
{
    QStringList out;
    for (const char *c : kMerchandiseColumns)
        out << QString::fromLatin1(c);
    return out;
}

QString joined(const QString &prefix, const QString &sep)
{
    QStringList parts;
    for (const QString &c : merchandiseColumns())
        parts << QString(prefix).replace(QLatin1String("%c"), c);
    return parts.join(sep);
}

// The goods view lists every goods with its configuration's name and takes
// inserts, updates and deletes of the goods columns, written to Merchandise.
QStringList merchandiseInfoCreate(const Dialect &d)
{
    const QString select =
        QStringLiteral("CREATE VIEW MerchandiseInfo AS SELECT %1, COALESCE(C.ConfigName,'') AS ConfigName "
                       "FROM Merchandise M LEFT JOIN Config C ON M.MerchandiseConfigID = C.ConfigID")
            .arg(joined(QStringLiteral("M.%c"), QStringLiteral(", ")));
    const QString cols = merchandiseColumns().join(u',');
    const QString newValues = joined(QStringLiteral("NEW.%c"), QStringLiteral(", "));
    const QString setList = joined(QStringLiteral("%c = NEW.%c"), QStringLiteral(", "));
    if (d.engine() == Engine::SQLite) {
        return {select,
                QStringLiteral("CREATE TRIGGER MerchandiseInfo_insert INSTEAD OF INSERT ON MerchandiseInfo "
                               "BEGIN INSERT INTO Merchandise(%1) VALUES(%2); END")
                    .arg(cols, newValues),
                QStringLiteral("CREATE TRIGGER MerchandiseInfo_update INSTEAD OF UPDATE ON MerchandiseInfo "
                               "BEGIN UPDATE Merchandise SET %1 WHERE MerchandiseID = OLD.MerchandiseID; END")
                    .arg(setList),
                QStringLiteral("CREATE TRIGGER MerchandiseInfo_delete INSTEAD OF DELETE ON MerchandiseInfo "
                               "BEGIN DELETE FROM Merchandise WHERE MerchandiseID = OLD.MerchandiseID; END")};
    }
    return {select,
            QStringLiteral("CREATE OR REPLACE FUNCTION MerchandiseInfo_write() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
                           "BEGIN\n"
                           "  IF TG_OP = 'INSERT' THEN\n"
                           "    INSERT INTO Merchandise(%1) VALUES(%2); RETURN NEW;\n"
                           "  ELSIF TG_OP = 'UPDATE' THEN\n"
                           "    UPDATE Merchandise SET %3 WHERE MerchandiseID = OLD.MerchandiseID; RETURN NEW;\n"
                           "  ELSE\n"
                           "    DELETE FROM Merchandise WHERE MerchandiseID = OLD.MerchandiseID; RETURN OLD;\n"
                           "  END IF;\n"
                           "END $f$")
                .arg(cols, newValues, setList),
            QStringLiteral("CREATE TRIGGER MerchandiseInfo_write INSTEAD OF INSERT OR UPDATE OR DELETE ON MerchandiseInfo "
                           "FOR EACH ROW EXECUTE FUNCTION MerchandiseInfo_write()")};
}

QStringList merchandiseInfoDrop(const Dialect &d)
{
    if (d.engine() == Engine::SQLite)
        return {QStringLiteral("DROP TRIGGER IF EXISTS MerchandiseInfo_insert"),
                QStringLiteral("DROP TRIGGER IF EXISTS MerchandiseInfo_update"),
                QStringLiteral("DROP TRIGGER IF EXISTS MerchandiseInfo_delete")};
    return {QStringLiteral("DROP TRIGGER IF EXISTS MerchandiseInfo_write ON MerchandiseInfo")};
}

} // namespace

SchemaPart basedataSchema()
{
    SchemaPart p;
    p.name = QStringLiteral("basedata");
    const QString S = QStringLiteral("StorehouseID"), CO = QStringLiteral("ColorID"), CF = QStringLiteral("ConfigID");
    p.tables = {
        {QStringLiteral("Storehouse"), {identity(S), text(QStringLiteral("StorehouseName"), 30)}, {}, {}, {}},
        {QStringLiteral("Color"), {identity(CO), text(QStringLiteral("ColorName"), 20)}, {}, {}, {}},
        {QStringLiteral("Config"), {identity(CF), text(QStringLiteral("ConfigName"), 64)}, {}, {}, {}},
        {QStringLiteral("MerchandiseType"),
         {text(QStringLiteral("MerchandiseTypeID"), 50, true), text(QStringLiteral("MerchandiseTypeName"), 24),
          text(QStringLiteral("UpMerchandiseTypeID"), 50, false, QStringLiteral("''"))},
         {QStringLiteral("MerchandiseTypeID")},
         {},
         {index(QStringLiteral("ix_merchandisetype_up"), {QStringLiteral("UpMerchandiseTypeID"), QStringLiteral("MerchandiseTypeID")}),
          unique(QStringLiteral("ux_merchandisetype_name"), {QStringLiteral("MerchandiseTypeName")})}},
        {QStringLiteral("Merchandise"),
         {text(QStringLiteral("MerchandiseID"), 25, true), text(QStringLiteral("MerchandiseTypeID"), 50),
          text(QStringLiteral("MerchandiseName"), 48, true), text(QStringLiteral("Unit"), 8),
          text(QStringLiteral("Spec"), 25), text(QStringLiteral("ProducingArea"), 64), text(QStringLiteral("Rank"), 8),
          boolean(QStringLiteral("Magistral")), text(QStringLiteral("Remark"), 255),
          integer(QStringLiteral("MerchandiseConfigID"))},
         {QStringLiteral("MerchandiseID")},
         {fk(QStringLiteral("MerchandiseTypeID"), QStringLiteral("MerchandiseType"), QStringLiteral("MerchandiseTypeID")),
          fk(QStringLiteral("MerchandiseConfigID"), QStringLiteral("Config"), CF)},
         {index(QStringLiteral("ix_merchandise_type"), {QStringLiteral("MerchandiseTypeID")}),
          index(QStringLiteral("ix_merchandise_name"), {QStringLiteral("MerchandiseName")})}},
        {QStringLiteral("Client"),
         {text(QStringLiteral("ClientID"), 25, true), text(QStringLiteral("ClientTypeID"), 2),
          text(QStringLiteral("ClientName"), 48, true), text(QStringLiteral("Phone"), 50), text(QStringLiteral("Fax"), 17),
          text(QStringLiteral("LinkMan"), 20), text(QStringLiteral("LinkPhone"), 50), text(QStringLiteral("Address"), 48),
          text(QStringLiteral("Http"), 48), text(QStringLiteral("Email"), 48), text(QStringLiteral("Bank"), 48),
          text(QStringLiteral("BankAccount"), 20), text(QStringLiteral("TaxAccount"), 20),
          boolean(QStringLiteral("States")), datetime(QStringLiteral("CreateDate")), boolean(QStringLiteral("CostType")),
          money(QStringLiteral("Cost")), text(QStringLiteral("Remark"), 255), money(QStringLiteral("ClientUpper")),
          money(QStringLiteral("FactCost"))},
         {QStringLiteral("ClientID")},
         {},
         {index(QStringLiteral("ix_client_name"), {QStringLiteral("ClientName")}),
          index(QStringLiteral("ix_client_type"), {QStringLiteral("ClientTypeID")})}},
        {QStringLiteral("CompanyConstruction"),
         {text(QStringLiteral("DepartID"), 15, true), text(QStringLiteral("DepartName"), 30),
          text(QStringLiteral("UpDepartID"), 15, false, QStringLiteral("''"))},
         {QStringLiteral("DepartID")},
         {},
         {index(QStringLiteral("ix_department_up"), {QStringLiteral("UpDepartID"), QStringLiteral("DepartID")}),
          unique(QStringLiteral("ux_department_name"), {QStringLiteral("DepartName")})}},
        {QStringLiteral("Affair"), {identity(QStringLiteral("AffairID")), text(QStringLiteral("AffairName"), 30)}, {}, {}, {}},
        {QStringLiteral("Clerk"),
         {text(QStringLiteral("ClerkID"), 25, true), text(QStringLiteral("ClerkName"), 20, true),
          text(QStringLiteral("Sex"), 2, false, QStringLiteral("'女'")), datetime(QStringLiteral("Birth")),
          text(QStringLiteral("Phone"), 50), integer(QStringLiteral("AffairID")), text(QStringLiteral("IDcard"), 20),
          text(QStringLiteral("Address"), 48), text(QStringLiteral("Email"), 48), text(QStringLiteral("Antecedents"), 12),
          datetime(QStringLiteral("EntryDate")), text(QStringLiteral("Pass"), 10), text(QStringLiteral("Remark"), 255),
          text(QStringLiteral("DepartID"), 15)},
         {QStringLiteral("ClerkID")},
         {fk(QStringLiteral("AffairID"), QStringLiteral("Affair"), QStringLiteral("AffairID")),
          fk(QStringLiteral("DepartID"), QStringLiteral("CompanyConstruction"), QStringLiteral("DepartID"))},
         {index(QStringLiteral("ix_clerk_name"), {QStringLiteral("ClerkName")}),
          index(QStringLiteral("ix_clerk_depart"), {QStringLiteral("DepartID")})}},
        {QStringLiteral("CostAccount"),
         {identity(QStringLiteral("AccountID")), text(QStringLiteral("AccountName"), 30), money(QStringLiteral("Cost")),
          money(QStringLiteral("FactCost")), text(QStringLiteral("Remark"), 255)},
         {},
         {},
         {}},
        {QStringLiteral("CostItem"),
         {identity(QStringLiteral("ItemID")), boolean(QStringLiteral("ItemTypeID")), text(QStringLiteral("ItemName"), 30),
          text(QStringLiteral("Remark"), 255)},
         {},
         {},
         {}},
    };
    p.views = {{QStringLiteral("MerchandiseInfo"), merchandiseInfoCreate, merchandiseInfoDrop}};
    p.seeds = {
        {QStringLiteral("Client"),
         {QStringLiteral("ClientID"), QStringLiteral("ClientTypeID"), QStringLiteral("ClientName"), QStringLiteral("CostType"),
          QStringLiteral("Cost"), QStringLiteral("ClientUpper"), QStringLiteral("FactCost")},
         {{QStringLiteral("1000"), QStringLiteral("02"), QStringLiteral("零售客户"), true, 0, 0, 0},
          {QStringLiteral("2000"), QStringLiteral("01"), QStringLiteral("临时供应商"), false, 0, 0, 0},
          {QStringLiteral("3000"), QStringLiteral("03"), QStringLiteral("其它往来单位"), true, 0, 0, 0}},
         true},
        {QStringLiteral("Storehouse"), {QStringLiteral("StorehouseName")}, {{QStringLiteral("门市")}}, false},
        {QStringLiteral("CostAccount"),
         {QStringLiteral("AccountName"), QStringLiteral("Cost"), QStringLiteral("FactCost")},
         {{QStringLiteral("现金"), 0, 0}},
         false},
    };
    return p;
}
