// Users, permission sets, the catalogue of functions that carry rights, rights.
#include "dsl.h"

using namespace schemadsl;

namespace {
// Every permission name the program checks, with the tab it is edited under.
const char *const kModules[][2] = {
    {"权限设置", "设置"},       {"仓库资料", "设置"},       {"颜色配置", "设置"},
    {"商品资料", "设置"},       {"往来单位", "设置"},       {"职务设置", "设置"},
    {"员工资料", "设置"},       {"收支项目设置", "设置"},   {"资金帐户期初", "设置"},
    {"应收应付期初", "设置"},   {"维修单参数设置", "设置"}, {"设置号码类型", "设置"},
    {"进货单", "物流"},         {"进货退货单", "物流"},     {"销售单", "物流"},
    {"销售退货单", "物流"},     {"调拨单", "物流"},         {"报溢单", "物流"},
    {"报损单", "物流"},         {"获赠单", "物流"},         {"赠送单", "物流"},
    {"维修单", "物流"},         {"零件消耗单", "物流"},     {"送修单", "物流"},
    {"零件退件单", "物流"},     {"号码入库单", "物流"},     {"号码调拨单", "物流"},
    {"号码销售单", "物流"},     {"号码报损单", "物流"},     {"号码顾客资料", "物流"},
    {"收款单", "钱流"},         {"付款单", "钱流"},         {"其它收入单", "钱流"},
    {"费用单", "钱流"},         {"提现、存款、转帐单", "钱流"}, {"维修收入单", "钱流"},
    {"查找中心", "统计"},       {"顾客资料查找", "统计"},   {"进货统计", "统计"},
    {"销售统计", "统计"},       {"业绩排行", "统计"},       {"其它收入统计", "统计"},
    {"费用统计", "统计"},       {"收支对比", "统计"},       {"资金帐户", "统计"},
    {"往来统计", "统计"},       {"库存状况", "统计"},       {"库存状况变动表", "统计"},
    {"库存盘点", "统计"},       {"商品分布", "统计"},       {"经理价格表", "统计"},
    {"批发价格表", "统计"},     {"零售价格表", "统计"},     {"手机补差表", "统计"},
    {"调价统计", "统计"},       {"维修通用查找", "统计"},   {"号码库存", "统计"},
    {"号码单据查找", "统计"},   {"号码通用查找", "统计"},   {"号码库存统计", "统计"},
    {"号码销售统计", "统计"},   {"提成项目设置", "工资"},   {"提成工资", "工资"},
    {"工资项目设置", "工资"},   {"工资表", "工资"},         {"工资统计", "工资"},
};
} // namespace

SchemaPart shellSchema()
{
    SchemaPart p;
    p.name = QStringLiteral("shell");
    p.tables = {
        {QStringLiteral("user_info"),
         {text(QStringLiteral("user_number"), 20, true), text(QStringLiteral("user_name"), 20, true),
          text(QStringLiteral("purview_name"), 50), text(QStringLiteral("user_pass"), 20)},
         {QStringLiteral("user_number")},
         {},
         {index(QStringLiteral("ix_user_info_name"), {QStringLiteral("user_name")})}},
        {QStringLiteral("purename"), {text(QStringLiteral("purview_name"), 50, true)}, {QStringLiteral("purview_name")}, {}, {}},
        {QStringLiteral("p_module"),
         {text(QStringLiteral("module_name"), 50, true), text(QStringLiteral("p_class"), 10, true)},
         {QStringLiteral("module_name")},
         {},
         {}},
        {QStringLiteral("purview"),
         {text(QStringLiteral("purview_name"), 50, true), text(QStringLiteral("p_module"), 50, true),
          text(QStringLiteral("p_class"), 10), boolean(QStringLiteral("p_query")), boolean(QStringLiteral("p_all"))},
         {QStringLiteral("purview_name"), QStringLiteral("p_module")},
         {},
         {}},
    };

    SeedRows modules{QStringLiteral("p_module"), {QStringLiteral("module_name"), QStringLiteral("p_class")}, {}, true};
    for (const auto &m : kModules)
        modules.rows.append(QVariantList{QString::fromUtf8(m[0]), QString::fromUtf8(m[1])});
    p.seeds = {
        modules,
        {QStringLiteral("purename"), {QStringLiteral("purview_name")}, {{QStringLiteral("超级用户")}}, true},
        {QStringLiteral("user_info"),
         {QStringLiteral("user_number"), QStringLiteral("user_name"), QStringLiteral("purview_name"),
          QStringLiteral("user_pass")},
         {{QStringLiteral("001"), QStringLiteral("系统管理员"), QStringLiteral("超级用户"), QStringLiteral("123")}},
         false},
    };
    return p;
}
