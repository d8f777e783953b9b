#pragma once
// The helpers every window shares: combo fillers, name and ID lookups, the
// stock warnings, the IMEI rule, the clerk password, the input box, the
// amount in capital figures and the query helpers.
#include "database.h"
#include "money.h"

#include <QString>

class QComboBox;
class QWidget;
class DataSet;
class TFData;
struct AppContext;

// Combo fillers: each clears the box first.
void FillClerkCombo(TFData &data, QComboBox *box, QString &clerkId);
void FillStorehouseCombo(TFData &data, QComboBox *box);
void FillAccountCombo(TFData &data, QComboBox *box);
void FillAccountList(TFData &data, QComboBox *box);

// Lookups; the text ones give their input back when nothing is found.
QString GetClientID(TFData &data, const QString &nameFragment);
QString GetDepartID(TFData &data, const QString &name);
QString GetClientName(TFData &data, const QString &id);
QString GetClerkName(TFData &data, const QString &id);
bool FindClerk(TFData &data, const QString &text, QString &clerkId, QString &clerkName);
QString GetBuyerName(TFData &data, qlonglong id);
QString GetColorName(TFData &data, qlonglong id);
QString GetConfigName(TFData &data, qlonglong id);
// Copies name, unit, model (Spec) and configuration of a goods into the
// current row of a data set.
void FillGoodsFields(TFData &data, DataSet &ds, const QString &merchandiseId);

// Parameterised lookups of the repair and number windows; most answer the two
// apostrophes "''" when nothing matches, which callers store as it is.
extern const QString kNotFound;
QString LookupStorehouseName(TFData &data, const QVariant &id);
QString LookupStorehouseID(TFData &data, const QString &name);
QString LookupClerkID(TFData &data, const QString &name); // empty when none
QString LookupAccountID(TFData &data, const QString &name);
QString LookupAccountName(TFData &data, const QVariant &id);
QString LookupClientID(TFData &data, const QString &name);

void WarnStockUpper(AppContext &app, QWidget *parent, qlonglong quantity, qlonglong upper, const QString &name);
void WarnStockLower(AppContext &app, QWidget *parent, qlonglong quantity, qlonglong lower, const QString &name);
// The IMEI rule for one bill line; refusals are shown, and false returned.
bool CheckIMEI(AppContext &app, QWidget *parent, const QString &imei, const QString &merchandiseId, bool mustBeNew);
// Asks the clerk's password (TFInput_password); true when it was right.
bool CheckClerkPassword(AppContext &app, QWidget *parent, const QString &clerkId);
// The one-line input box; the typed text on 确定, empty on 取消.
QString MyInputBox(AppContext &app, QWidget *parent, const QString &caption, const QString &prompt,
                   const QString &defaultText);

// Appends one search condition to a WHERE text (which callers start as
// "... WHERE 1=1 "), its value bound as a parameter. kind 1: text compare;
// kind 2: numeric compare; kind 3: the date parts compared. The operator comes
// from code ("=", ">=", "<=", "like").
void AddCondition(QString &sql, Params &params, const Dialect &dialect, bool enabled, const QString &field, int kind,
                  const QVariant &value, const QString &op);
// Close, replace the SQL, open (or execute); false on any error, showing nothing.
bool OpenSQL(DataSet &query, const QString &sql, const Params &params = {});
bool RunSQL(DataSet &query, const QString &sql, bool execute, const Params &params = {});
// Writes a batch-mode data set's cached rows: "保存成功。", or on failure the
// changes are dropped, "保存失败。" shown and the stored rows read again.
bool SaveBatch(AppContext &app, QWidget *parent, DataSet &query);

// The amount in capital figures, digit by digit with its place unit:
// 123.45 → 壹佰贰拾叁元肆角伍分. Negative amounts get "负" in front; amounts of
// 1,000,000,000 and more carry on the place units (拾亿, 佰亿, 仟亿, 万亿, ...).
QString MoneyToChinese(Money amount);
