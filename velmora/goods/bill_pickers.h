#pragma once
// The pickers a goods bill opens, in the form the bill window uses them.
#include <QString>

class QWidget;
struct AppContext;

// The partner's name, or false when cancelled.
bool pickPartnerName(AppContext &app, QWidget *parent, QString &name);
// The catalogue picker (purchase) or the stock picker of a warehouse (sale);
// on true the shared Sel* variables name the goods.
bool pickCatalogueGoods(AppContext &app, QWidget *parent);
bool pickStockGoods(AppContext &app, QWidget *parent, const QString &storehouseName);
// Drop-downs under a cell: a colour ID, a clerk ID.
bool pickColour(AppContext &app, QWidget *anchor, qlonglong &colorId);
bool pickClerk(AppContext &app, QWidget *anchor, QString &clerkId);
