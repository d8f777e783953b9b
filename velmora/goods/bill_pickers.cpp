#include "bill_pickers.h"

#include "select_dropdown.h"
#include "select_goods.h"
#include "select_partner.h"

bool pickPartnerName(AppContext &app, QWidget *parent, QString &name)
{
    QString id;
    return PickPartner(app, parent, id, name);
}

bool pickCatalogueGoods(AppContext &app, QWidget *parent) { return PickGoods(app, parent); }

bool pickStockGoods(AppContext &app, QWidget *parent, const QString &storehouseName)
{
    return PickStockGoods(app, parent, storehouseName);
}

bool pickColour(AppContext &app, QWidget *anchor, qlonglong &colorId)
{
    QString id = colorId == 0 ? QString() : QString::number(colorId);
    if (!PickColor(app, anchor, id))
        return false;
    colorId = id.toLongLong();
    return true;
}

bool pickClerk(AppContext &app, QWidget *anchor, QString &clerkId) { return PickClerk(app, anchor, clerkId); }
