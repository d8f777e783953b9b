#include "mainwindow.h"

#include "app_context.h"
#include "dialogs.h"
#include "function_window.h"
#include "login.h"
#include "password_window.h"
#include "purview.h"
#include "small_dialogs.h"
#include "window_catalog.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

enum class Kind { A, B, C };

struct MenuItem {
    const char *menu;
    const char *item;
    const char *permission; // nullptr for kind C
    Kind kind;
    bool separatorBefore;
};

// The menu tree; separators stand between the groups of each menu.
const MenuItem kMenu[] = {
    {"系统", "修改密码", nullptr, Kind::C, false},
    {"系统", "权限设置", "权限设置", Kind::A, false},
    {"系统", "重新登录", nullptr, Kind::C, true},
    {"系统", "退出系统", nullptr, Kind::C, true},
    {"设置", "仓库资料", "仓库资料", Kind::A, false},
    {"设置", "颜色/配置", "颜色配置", Kind::A, false},
    {"设置", "商品资料", "商品资料", Kind::A, true},
    {"设置", "往来单位", "往来单位", Kind::A, false},
    {"设置", "职务设置", "职务设置", Kind::A, true},
    {"设置", "员工资料", "员工资料", Kind::A, false},
    {"设置", "收支项目设置", "收支项目设置", Kind::A, true},
    {"设置", "资金帐户期初", "资金帐户期初", Kind::A, false},
    {"设置", "应收应付期初", "应收应付期初", Kind::A, false},
    {"物流", "进货单", "进货单", Kind::B, false},
    {"物流", "进货退货单", "进货退货单", Kind::B, false},
    {"物流", "销售单", "销售单", Kind::B, true},
    {"物流", "销售退货单", "销售退货单", Kind::B, false},
    {"物流", "调拨单", "调拨单", Kind::B, true},
    {"物流", "报溢单", "报溢单", Kind::B, true},
    {"物流", "报损单", "报损单", Kind::B, false},
    {"物流", "获赠单", "获赠单", Kind::B, true},
    {"物流", "赠送单", "赠送单", Kind::B, false},
    {"钱流", "收款单", "收款单", Kind::B, false},
    {"钱流", "付款单", "付款单", Kind::B, false},
    {"钱流", "其它收入单", "其它收入单", Kind::B, true},
    {"钱流", "费用单", "费用单", Kind::B, false},
    {"钱流", "提现、存款、转帐单", "提现、存款、转帐单", Kind::B, true},
    {"统计", "查找中心", "查找中心", Kind::A, false},
    {"统计", "顾客资料查找", "顾客资料查找", Kind::A, false},
    {"统计", "进货统计", "进货统计", Kind::A, true},
    {"统计", "销售统计", "销售统计", Kind::A, false},
    {"统计", "业绩排行", "业绩排行", Kind::A, false},
    {"统计", "其它收入统计", "其它收入统计", Kind::A, true},
    {"统计", "费用统计", "费用统计", Kind::A, false},
    {"统计", "收支对比", "收支对比", Kind::A, false},
    {"统计", "资金帐户", "资金帐户", Kind::A, false},
    {"统计", "往来统计", "往来统计", Kind::A, false},
    {"统计", "库存状况", "库存状况", Kind::A, true},
    {"统计", "库存状况变动表", "库存状况变动表", Kind::A, false},
    {"统计", "库存盘点", "库存盘点", Kind::A, false},
    {"统计", "商品分布", "商品分布", Kind::A, false},
    {"统计", "经理价格表", "经理价格表", Kind::A, true},
    {"统计", "批发价格表", "批发价格表", Kind::A, false},
    {"统计", "零售价格表", "零售价格表", Kind::A, false},
    {"统计", "手机补差表", "手机补差表", Kind::A, true},
    {"统计", "调价统计", "调价统计", Kind::A, false},
    {"维修", "维修单参数设置", "维修单参数设置", Kind::A, false},
    {"维修", "维修单", "维修单", Kind::A, true},
    {"维修", "零件消耗单", "零件消耗单", Kind::A, false},
    {"维修", "送修单", "送修单", Kind::A, false},
    {"维修", "零件退件单", "零件退件单", Kind::A, false},
    {"维修", "维修收入单", "维修收入单", Kind::A, false},
    {"维修", "维修通用查找", "维修通用查找", Kind::A, true},
    {"号码", "设置号码类型", "设置号码类型", Kind::A, false},
    {"号码", "号码入库单", "号码入库单", Kind::B, true},
    {"号码", "号码调拨单", "号码调拨单", Kind::B, false},
    {"号码", "号码销售单", "号码销售单", Kind::B, false},
    {"号码", "号码报损单", "号码报损单", Kind::B, false},
    {"号码", "号码库存", "号码库存", Kind::A, true},
    {"号码", "号码单据查找", "号码单据查找", Kind::A, false},
    {"号码", "号码通用查找", "号码通用查找", Kind::A, false},
    {"号码", "号码顾客资料", "号码顾客资料", Kind::A, true},
    {"号码", "号码库存统计", "号码库存统计", Kind::A, true},
    {"号码", "号码销售统计", "号码销售统计", Kind::A, false},
    {"工资", "提成项目设置", "提成项目设置", Kind::A, false},
    {"工资", "提成工资", "提成工资", Kind::A, false},
    {"工资", "提成统计", "提成工资", Kind::A, false},
    {"工资", "工资项目设置", "工资项目设置", Kind::A, true},
    {"工资", "工资表", "工资表", Kind::A, false},
    {"工资", "工资统计", "工资统计", Kind::A, false},
    {"帮助", "帮助主题", nullptr, Kind::C, false},
    {"帮助", "关于", nullptr, Kind::C, true},
};

struct ToolButton {
    int bar;
    const char *caption;
    const char *command;
    const char *hint; // "short|long"
};

const ToolButton kToolButtons[] = {
    {1, "登录", "重新登录", "重新登录|用户可以不退出系统而更换登录用户及更改登录时间。"},
    {1, "退出", "退出系统", "退出系统|关闭系统。"},
    {2, "商品", "商品资料", "商品资料|记录商品各种详细信息，如：商品编号、商品名称、规格、单位、配置等。"},
    {2, "往来", "往来单位", "往来单位|记录业务往来单位的相关信息，如：单位名称、地址、联系电话等等。"},
    {2, "员工", "员工资料", "员工资料|记录员工的基本信息，如：姓名、电话、地址、所属部门等等。"},
    {3, "进货", "进货单", "进货单|商品进货入库时填单。"},
    {3, "销售", "销售单", "销售单|商品销售出库时填单，并记录顾客资料，同时增加业务员的销量。"},
    {3, "调拨", "调拨单", "调拨单|商品在各仓库之间进行调拨时填单。"},
    {4, "收款", "收款单", "收款单|收款单是收到商品的货款时填单。"},
    {4, "付款", "付款单", "付款单|付款单是支付商品的货款时填单。"},
    {5, "查找", "查找中心", "查找中心|全面、灵活的查找条件，对物流、钱流模块中的单据进行组合条件查询。"},
    {5, "业绩", "业绩排行", "业绩排行|统计每个业务员的销量、销售额、销售利润、提成金额等数据。"},
    {5, "收支", "收支对比", "收支对比|对时间段内的所有收入及支出金额进行对比。"},
    {5, "往来", "往来统计", "往来统计|对往来单位的应收应付款进行统计，并设置应收应付限额。"},
    {5, "库存", "库存状况", "库存状况|查看库存商品数量、批次、成本等，并设置库存上下限、提成率、调价。"},
    {5, "变动", "库存状况变动表", "库存状况变动表|按汇总、明细方式对各仓库内商品的变动情况进行统计。"},
    {5, "商品", "商品分布", "商品分布|统计每种商品在每个仓库的库存数量。"},
    {5, "零售", "零售价格表", "零售价格表|企业根据市场状况设定每种商品的零售价格表，以便柜台遵照执行。"},
};

struct PanelDef {
    const char *menuItem; // 系统 / 工具栏 ▸ item
    const char *caption;
    const char *key;
    const char *buttons; // "caption:command;..."
};

const PanelDef kPanels[] = {
    {"系统", "工具条(系统)", "SysBotton", "密码:修改密码;权限:权限设置"},
    {"设置", "工具条(设置)", "SetupBotton", "仓库:仓库资料;颜色:颜色/配置;职务:职务设置;收支:收支项目设置;资金:资金帐户期初;收付:应收应付期初"},
    {"物流", "工具条(物流)", "GoodsBotton", "进退:进货退货单;销退:销售退货单;报溢:报溢单;报损:报损单;获赠:获赠单;赠送:赠送单"},
    {"钱流", "工具条(钱流)", "MoneyBotton", "收入:其它收入单;费用:费用单;转帐:提现、存款、转帐单"},
    {"统计", "工具条(统计)", "StatBotton",
     "顾客:顾客资料查找;进统:进货统计;销统:销售统计;收入:其它收入统计;费用:费用统计;资金:资金帐户;盘点:库存盘点;经理:经理价格表;"
     "批发:批发价格表;零售:零售价格表;补差:手机补差表;调价:调价统计"},
    {"维修", "工具条(维修)", "MaintainBotton", "参数:维修单参数设置;维修:维修单;消耗:零件消耗单;送修:送修单;退件:零件退件单;收入:维修收入单;查找:维修通用查找"},
    {"号码", "工具条(号码)", "NumberBotton",
     "类型:设置号码类型;入库:号码入库单;调拨:号码调拨单;销售:号码销售单;报损:号码报损单;库存:号码库存;单据:号码单据查找;通用:号码通用查找;"
     "顾客:号码顾客资料;库统:号码库存统计;销统:号码销售统计"},
    {"工资", "工具条(工资)", "PayBotton", "设置:提成项目设置;提成:提成工资;统计:提成统计;设置:工资项目设置;工资:工资表;统计:工资统计"},
};

QString u(const char *s) { return QString::fromUtf8(s); }

const MenuItem *findItem(const QString &item)
{
    for (const MenuItem &m : kMenu)
        if (u(m.item) == item)
            return &m;
    return nullptr;
}

QIcon iconFor(const QStyle *style, const QString &command)
{
    static const QHash<QString, QStyle::StandardPixmap> icons{
        {QStringLiteral("重新登录"), QStyle::SP_BrowserReload},  {QStringLiteral("退出系统"), QStyle::SP_DialogCloseButton},
        {QStringLiteral("商品资料"), QStyle::SP_FileDialogDetailedView}, {QStringLiteral("往来单位"), QStyle::SP_DirHomeIcon},
        {QStringLiteral("员工资料"), QStyle::SP_FileDialogInfoView}, {QStringLiteral("进货单"), QStyle::SP_ArrowDown},
        {QStringLiteral("销售单"), QStyle::SP_ArrowUp},           {QStringLiteral("调拨单"), QStyle::SP_BrowserReload},
        {QStringLiteral("收款单"), QStyle::SP_DialogApplyButton}, {QStringLiteral("付款单"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("查找中心"), QStyle::SP_FileDialogContentsView},
    };
    return style->standardIcon(icons.value(command, QStyle::SP_FileIcon));
}

} // namespace

// ---- tool-bar panels --------------------------------------------------------------

class ToolPanel : public QWidget {
public:
    ToolPanel(TFmain *main, const PanelDef &def)
        : QWidget(main, Qt::Tool | Qt::WindowStaysOnTopHint), main_(main), key_(u(def.key))
    {
        setObjectName(key_);
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(u(def.caption));
        auto *bar = new QToolBar(this);
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        for (const QString &b : u(def.buttons).split(QLatin1Char(';'))) {
            const QString caption = b.section(QLatin1Char(':'), 0, 0);
            const QString command = b.section(QLatin1Char(':'), 1);
            QAction *a = bar->addAction(iconFor(style(), command), caption);
            a->setObjectName(command);
            a->setEnabled(main->command(command) ? main->command(command)->isEnabled() : false);
            connect(a, &QAction::triggered, main, [main, command] { main->run(command); });
        }
        auto *l = new QVBoxLayout(this);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(bar);
    }

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Escape)
            close();
        else
            QWidget::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent *e) override
    {
        main_->panelClosed(key_, QRect(x(), y(), width(), height()));
        QWidget::closeEvent(e);
    }

private:
    TFmain *main_;
    QString key_;
};

// ---- main window ------------------------------------------------------------------

TFmain::TFmain(AppContext &app, const WindowCatalog &catalog, QWidget *parent)
    : QMainWindow(parent), app_(app), catalog_(catalog), mdi_(new QMdiArea(this)), hint_(new QLabel(this))
{
    setObjectName(QStringLiteral("TFmain"));
    setWindowTitle(QStringLiteral("“Tessaly”手机通讯版 V1.0 标准版"));
    mdi_->setBackground(QColor(Qt::white));
    setCentralWidget(mdi_);
    hint_->setObjectName(QStringLiteral("StatusPanel1"));
    hint_->setMinimumWidth(400);
    statusBar()->addWidget(hint_, 1);
    auto *vendor = new QLabel(QStringLiteral("Quenlo 软件工作室"), this);
    vendor->setFixedWidth(180);
    vendor->setAlignment(Qt::AlignCenter);
    auto *web = new QLabel(QStringLiteral("quenlo"), this);
    web->setFixedWidth(50);
    web->setAlignment(Qt::AlignCenter);
    statusBar()->addPermanentWidget(vendor);
    statusBar()->addPermanentWidget(web);
    buildMenus();
    buildToolBars();
}

TFmain::~TFmain() = default;

QWidget *TFmain::panel(const QString &registryKey) const { return panels_.value(registryKey); }

void TFmain::buildMenus()
{
    QHash<QString, QMenu *> menus;
    for (const char *name : {"系统", "设置", "物流", "钱流", "统计", "维修", "号码", "工资", "帮助"})
        menus.insert(u(name), menuBar()->addMenu(u(name)));
    for (const MenuItem &m : kMenu) {
        QMenu *menu = menus.value(u(m.menu));
        if (m.separatorBefore)
            menu->addSeparator();
        const QString item = u(m.item);
        QAction *a = menu->addAction(item);
        a->setObjectName(item);
        if (m.kind != Kind::C)
            a->setEnabled(catalog_.has(item)); // its window comes with a later part of the program
        connect(a, &QAction::triggered, this, [this, item] { run(item); });
        actions_.insert(item, a);
        if (item == QStringLiteral("重新登录")) {
            // The tool-bar panels sit between re-login and exit.
            QMenu *panels = new QMenu(QStringLiteral("工具栏"), menu);
            menu->insertMenu(a, panels);
            for (const PanelDef &p : kPanels) {
                QAction *t = panels->addAction(u(p.menuItem));
                t->setCheckable(true);
                t->setObjectName(u(p.key));
                const QString key = u(p.key);
                connect(t, &QAction::triggered, this, [this, key] { togglePanel(key); });
                toggles_.insert(key, t);
            }
        }
    }
}

void TFmain::buildToolBars()
{
    QToolBar *bars[6] = {};
    for (const ToolButton &b : kToolButtons) {
        if (!bars[b.bar]) {
            bars[b.bar] = addToolBar(QStringLiteral("tools%1").arg(b.bar));
            bars[b.bar]->setObjectName(QStringLiteral("ToolBar%1").arg(b.bar));
            bars[b.bar]->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            bars[b.bar]->setIconSize(QSize(32, 32));
            bars[b.bar]->setMovable(false);
        }
        const QString command = u(b.command);
        const QString hint = u(b.hint);
        QAction *a = bars[b.bar]->addAction(iconFor(style(), command), u(b.caption));
        a->setObjectName(QStringLiteral("tool:") + command);
        a->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
        a->setEnabled(actions_.value(command)->isEnabled());
        const QString longHint = hint.section(QLatin1Char('|'), 1);
        connect(a, &QAction::hovered, this, [this, longHint] { hint_->setText(longHint); });
        connect(a, &QAction::triggered, this, [this, command] { run(command); });
    }
}

void TFmain::run(const QString &item)
{
    if (item == QStringLiteral("修改密码")) {
        TFSystem_password dlg(app_, this);
        app_.dialogs.exec(&dlg);
    } else if (item == QStringLiteral("重新登录")) {
        closeAllChildren();
        TFSystem_enter dlg(app_, this);
        app_.dialogs.exec(&dlg); // on cancel the previous user stays
    } else if (item == QStringLiteral("退出系统")) {
        closeAllChildren();
        close();
    } else if (item == QStringLiteral("帮助主题")) {
        ShowHelp(app_.dialogs, app_.programFolder);
    } else if (item == QStringLiteral("关于")) {
        TFHel_other_product dlg(app_, this);
        app_.dialogs.exec(&dlg);
    } else if (const MenuItem *m = findItem(item)) {
        if (!catalog_.has(item))
            return;
        if (m->kind == Kind::A)
            openWindow(item, u(m->permission));
        else
            openBill(item, u(m->permission));
    }
}

void TFmain::closeAllChildren()
{
    const QList<QMdiSubWindow *> children = mdi_->subWindowList();
    for (QMdiSubWindow *w : children) {
        w->close();
        mdi_->tileSubWindows();
    }
}

void TFmain::openWindow(const QString &item, const QString &permission)
{
    if (CheckPurview(app_, this, permission) == 0)
        return;
    closeAllChildren();
    QWidget *w = catalog_.window(item)(app_, nullptr);
    w->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = mdi_->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    if (auto *fw = dynamic_cast<FunctionWindow *>(w))
        fw->setFullRights(CheckPurview(app_, this, permission) == 2);
}

void TFmain::openBill(const QString &item, const QString &permission)
{
    if (CheckPurview(app_, this, permission) != 2)
        return;
    QDialog *dlg = catalog_.bill(item)(app_, this);
    app_.dialogs.exec(dlg);
    delete dlg;
}

void TFmain::togglePanel(const QString &key)
{
    QAction *toggle = toggles_.value(key);
    if (app_.settings.read(key) != QLatin1String("0")) {
        app_.settings.write(key, QStringLiteral("0"));
        if (ToolPanel *p = panels_.value(key)) {
            panels_.remove(key);
            p->close();
        }
        toggle->setChecked(false);
        return;
    }
    showPanel(key);
    app_.settings.write(key, QStringLiteral("1"));
    toggle->setChecked(true);
}

void TFmain::showPanel(const QString &key)
{
    if (panels_.contains(key))
        return;
    for (const PanelDef &def : kPanels) {
        if (u(def.key) != key)
            continue;
        auto *p = new ToolPanel(this, def);
        if (geometry_.height() + geometry_.x() + geometry_.y() + geometry_.width() > 0)
            p->setGeometry(geometry_);
        panels_.insert(key, p);
        p->show();
    }
}

void TFmain::panelClosed(const QString &key, const QRect &geometry)
{
    geometry_ = geometry;
    panels_.remove(key);
    if (QAction *t = toggles_.value(key))
        t->setChecked(false);
}

void TFmain::restorePanels()
{
    geometry_ = QRect(0, 0, 0, 0);
    for (const PanelDef &def : kPanels) {
        const QString key = u(def.key);
        if (app_.settings.read(key) == QLatin1String("1")) {
            showPanel(key);
            app_.settings.write(key, QStringLiteral("1"));
            toggles_.value(key)->setChecked(true);
        }
    }
}

void TFmain::closeEvent(QCloseEvent *event)
{
    TFSystem_exit dlg(this);
    if (app_.dialogs.exec(&dlg) != QDialog::Accepted) {
        event->ignore();
        return;
    }
    const auto panels = panels_;
    for (ToolPanel *p : panels)
        p->hide();
    event->accept();
}
