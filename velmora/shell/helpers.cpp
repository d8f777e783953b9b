#include "helpers.h"

#include "app_context.h"
#include "dataset.h"
#include "dialogs.h"
#include "small_dialogs.h"
#include "tfdata.h"

#include <QComboBox>

const QString kNotFound = QStringLiteral("''");

namespace {
Database &db(TFData &data) { return data.ADOConnection1; }

QString first(TFData &data, const QString &sql, const Params &params, const QString &otherwise)
{
    const RowSet rs = db(data).query(sql, params);
    return rs.isEmpty() ? otherwise : sqlvalue::toString(rs.value(0, 0));
}

void fill(QComboBox *box, const RowSet &rs, int column)
{
    box->clear();
    for (int i = 0; i < rs.size(); ++i)
        box->addItem(sqlvalue::toString(rs.value(i, column)));
}
} // namespace

void FillClerkCombo(TFData &data, QComboBox *box, QString &clerkId)
{
    const RowSet rs = db(data).query(QStringLiteral("Select ClerkName,ClerkID From Clerk"));
    fill(box, rs, 0);
    if (!rs.isEmpty()) {
        box->setCurrentIndex(0);
        box->setEditText(rs.value(0, 0).toString());
        clerkId = rs.value(0, 1).toString();
    }
}

void FillStorehouseCombo(TFData &data, QComboBox *box)
{
    fill(box, db(data).query(QStringLiteral("Select StorehouseName From Storehouse ORDER BY StorehouseID")), 0);
    if (box->count() > 0)
        box->setCurrentIndex(0);
}

void FillAccountCombo(TFData &data, QComboBox *box)
{
    fill(box, db(data).query(QStringLiteral("Select AccountName From CostAccount ORDER BY AccountID")), 0);
    if (box->count() > 0)
        box->setCurrentIndex(0);
}

void FillAccountList(TFData &data, QComboBox *box)
{
    fill(box, db(data).query(QStringLiteral("Select accountname From costaccount ORDER BY AccountID")), 0);
}

QString GetClientID(TFData &data, const QString &name)
{
    return first(data, QStringLiteral("Select ClientID From Client Where ClientName like :n ESCAPE '\\' ORDER BY ClientID"),
                 {{QStringLiteral("n"), QLatin1Char('%') + Database::likeEscape(name) + QLatin1Char('%')}}, name);
}

QString GetDepartID(TFData &data, const QString &name)
{
    return first(data, QStringLiteral("Select DepartID From CompanyConstruction Where DepartName=:n"), {{QStringLiteral("n"), name}}, name);
}

QString GetClientName(TFData &data, const QString &id)
{
    return first(data, QStringLiteral("Select ClientName From Client Where ClientID=:id"), {{QStringLiteral("id"), id}}, id);
}

QString GetClerkName(TFData &data, const QString &id)
{
    return first(data, QStringLiteral("Select ClerkName From Clerk Where ClerkID=:id"), {{QStringLiteral("id"), id}}, id);
}

bool FindClerk(TFData &data, const QString &text, QString &clerkId, QString &clerkName)
{
    const RowSet rs = db(data).query(QStringLiteral("Select ClerkID,ClerkName From Clerk Where ClerkID=:t or ClerkName=:t ORDER BY ClerkID"),
                                     {{QStringLiteral("t"), text}});
    clerkId = rs.isEmpty() ? QString() : rs.value(0, 0).toString();
    clerkName = rs.isEmpty() ? QString() : rs.value(0, 1).toString();
    return !rs.isEmpty();
}

QString GetBuyerName(TFData &data, qlonglong id)
{
    return first(data, QStringLiteral("Select BuyerName From Buyer Where BuyerID=:id"), {{QStringLiteral("id"), id}}, {});
}

QString GetColorName(TFData &data, qlonglong id)
{
    return first(data, QStringLiteral("Select ColorName From Color Where ColorID=:id"), {{QStringLiteral("id"), id}}, {});
}

QString GetConfigName(TFData &data, qlonglong id)
{
    return first(data, QStringLiteral("Select ConfigName From Config Where ConfigID=:id"), {{QStringLiteral("id"), id}}, {});
}

void FillGoodsFields(TFData &data, DataSet &ds, const QString &id)
{
    const RowSet rs = db(data).query(QStringLiteral("Select MerchandiseName,Unit,Spec,MerchandiseConfigID From Merchandise "
                                                    "WHERE MerchandiseID = :id"),
                                     {{QStringLiteral("id"), id}});
    if (rs.isEmpty())
        return;
    ds.setValue(QStringLiteral("MerchandiseName"), rs.value(0, 0).toString());
    ds.setValue(QStringLiteral("Unit"), rs.value(0, 1).toString());
    ds.setValue(QStringLiteral("Spec"), rs.value(0, 2).toString());
    ds.setValue(QStringLiteral("MerchandiseConfigID"), rs.value(0, 3));
}

QString LookupStorehouseName(TFData &data, const QVariant &id)
{
    return first(data, QStringLiteral("Select Storehousename From Storehouse where Storehouseid=:aa"), {{QStringLiteral("aa"), id}}, kNotFound);
}

QString LookupStorehouseID(TFData &data, const QString &name)
{
    return first(data, QStringLiteral("Select StorehouseId From Storehouse where StorehouseName=:aa"), {{QStringLiteral("aa"), name}}, kNotFound);
}

QString LookupClerkID(TFData &data, const QString &name)
{
    return first(data, QStringLiteral("Select ClerkID From Clerk where ClerkName =:aa"), {{QStringLiteral("aa"), name}}, {});
}

QString LookupAccountID(TFData &data, const QString &name)
{
    return first(data, QStringLiteral("Select accountid From costaccount where accountname=:aa"), {{QStringLiteral("aa"), name}}, kNotFound);
}

QString LookupAccountName(TFData &data, const QVariant &id)
{
    return first(data, QStringLiteral("Select accountname From costaccount where accountid=:aa"), {{QStringLiteral("aa"), id}}, kNotFound);
}

QString LookupClientID(TFData &data, const QString &name)
{
    return first(data, QStringLiteral("Select ClientID From Client where ClientName=:aa"), {{QStringLiteral("aa"), name}}, kNotFound);
}

void WarnStockUpper(AppContext &app, QWidget *parent, qlonglong quantity, qlonglong upper, const QString &name)
{
    if (upper != 0 && upper < quantity)
        app.dialogs.warn(parent, QStringLiteral("商品：") + name + QStringLiteral(" 库存数量已经超过库存上限。"));
}

void WarnStockLower(AppContext &app, QWidget *parent, qlonglong quantity, qlonglong lower, const QString &name)
{
    if (quantity < lower)
        app.dialogs.warn(parent, QStringLiteral("商品：") + name + QStringLiteral("库存数量已经小于库存下限。"));
}

bool CheckIMEI(AppContext &app, QWidget *parent, const QString &imei, const QString &merchandiseId, bool mustBeNew)
{
    Database &d = db(app.data);
    const QString stocked = QStringLiteral("Select count(*) From StockMaster JOIN StockDetail ON StockMaster.RecordID=StockDetail.OrderID "
                                           "Where StockMaster.MerchandiseID=:id AND ");
    const Params goods{{QStringLiteral("id"), merchandiseId}};
    auto refuse = [&](const QString &text) {
        app.dialogs.warn(parent, text);
        return false;
    };
    if (!imei.isEmpty()) {
        if (sqlvalue::toInt(d.scalar(stocked + QStringLiteral("COALESCE(StockDetail.IMEI,'')=''"), goods)) > 0)
            return refuse(QStringLiteral("该商品不能有IMEI号。"));
        const bool inStock = sqlvalue::toInt(d.scalar(QStringLiteral("Select count(*) From StockDetail where IMEI=:imei"),
                                                      {{QStringLiteral("imei"), imei}})) > 0;
        if (mustBeNew && inStock)
            return refuse(QStringLiteral("库存中已经有该IMEI号。"));
        if (!mustBeNew && !inStock)
            return refuse(QStringLiteral("库存中没有该IMEI号。"));
        return true;
    }
    if (sqlvalue::toInt(d.scalar(stocked + QStringLiteral("StockDetail.IMEI<>''"), goods)) > 0)
        return refuse(QStringLiteral("该商品必需有IMEI号。"));
    return true;
}

bool CheckClerkPassword(AppContext &app, QWidget *parent, const QString &clerkId)
{
    TFInput_password dlg(app, clerkId, parent);
    return app.dialogs.exec(&dlg) == QDialog::Accepted;
}

QString MyInputBox(AppContext &app, QWidget *parent, const QString &caption, const QString &prompt, const QString &defaultText)
{
    TFMyInputbox dlg(caption, prompt, defaultText, parent);
    return app.dialogs.exec(&dlg) == QDialog::Accepted ? dlg.text() : QString();
}

void AddCondition(QString &sql, Params &params, const Dialect &dialect, bool enabled, const QString &field, int kind,
                  const QVariant &value, const QString &op)
{
    if (!enabled)
        return;
    if (!sql.isEmpty())
        sql += QStringLiteral(" and ");
    const QString name = QStringLiteral("c%1").arg(params.size());
    switch (kind) {
    case 1:
        sql += field + QLatin1Char(' ') + op + QStringLiteral(" :") + name;
        params.append({name, sqlvalue::toString(value)});
        break;
    case 2: {
        sql += field + QLatin1Char(' ') + op + QStringLiteral(" :") + name;
        bool ok = false;
        const Money m = Money::fromVariant(value, &ok);
        params.append({name, ok ? QVariant::fromValue(m) : QVariant()});
        break;
    }
    default: {
        // Dates compare by their "yyyy-MM-dd" text on both engines.
        sql += dialect.dateText(field) + QLatin1Char(' ') + op + QStringLiteral(" :") + name;
        const QDateTime dt = sqlvalue::toDateTime(value);
        params.append({name, dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-dd")) : sqlvalue::toString(value).left(10)});
        break;
    }
    }
}

bool RunSQL(DataSet &query, const QString &sql, bool execute, const Params &params)
{
    try {
        query.close();
        query.setSql(sql);
        query.clearParams();
        for (const Param &p : params)
            query.setParam(p.name, p.value);
        if (execute)
            query.execSql();
        else
            query.open();
        return true;
    } catch (const DbError &) {
        return false;
    }
}

bool OpenSQL(DataSet &query, const QString &sql, const Params &params) { return RunSQL(query, sql, false, params); }

bool SaveBatch(AppContext &app, QWidget *parent, DataSet &query)
{
    try {
        query.applyUpdates();
        app.dialogs.inform(parent, QStringLiteral("保存成功。"));
        return true;
    } catch (const DbError &) {
    } catch (const AbortError &) {
    }
    query.cancelUpdates();
    app.dialogs.error(parent, QStringLiteral("保存失败。"));
    try {
        query.refresh();
    } catch (const DbError &) {
    }
    return false;
}

QString MoneyToChinese(Money amount)
{
    static const QString digits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    // Place units from the right; past 亿 the pattern goes on (拾亿 … 万亿 … 亿亿).
    static const QStringList units{QStringLiteral("分"), QStringLiteral("角"), QStringLiteral("元"), QStringLiteral("拾"),
                                   QStringLiteral("佰"), QStringLiteral("仟"), QStringLiteral("万"), QStringLiteral("拾"),
                                   QStringLiteral("佰"), QStringLiteral("仟"), QStringLiteral("亿"), QStringLiteral("拾"),
                                   QStringLiteral("佰"), QStringLiteral("仟"), QStringLiteral("万"), QStringLiteral("拾"),
                                   QStringLiteral("佰"), QStringLiteral("仟"), QStringLiteral("亿")};
    const bool negative = amount.raw() < 0;
    const std::int64_t raw = negative ? -amount.raw() : amount.raw();
    // + 0.001, then whole fen, toward zero.
    const QString fen = QString::number((raw + 10) / 100);
    QString out = negative ? QStringLiteral("负") : QString();
    const int n = int(fen.size());
    for (int i = 0; i < n; ++i) {
        const int place = n - i - 1;
        out += digits[fen[i].digitValue()];
        out += place < units.size() ? units[place] : QString();
    }
    return out;
}
