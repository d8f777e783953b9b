#include "basedata_fixture.h"
#include "basedata_windows.h"
#include "function_window.h"
#include "window_catalog.h"

class BasedataWindowsTest : public testing::TestWithParam<Engine> {};

// Every window opens on a database holding only its initial rows, under its
// menu caption, and a query-only user gets no editing button and no editable cell.
TEST_P(BasedataWindowsTest, EachMenuItemOpensItsWindowReadOnlyForQueryRights)
{
    TestApp app(GetParam());
    WindowCatalog catalog;
    registerBasedataWindows(catalog);
    const struct {
        const char *caption, *window;
    } windows[] = {{"仓库资料", "TFStorehouse"},         {"颜色/配置", "TFColor_Config"},
                   {"商品资料", "TFSetup_commodity"},    {"往来单位", "TFSetup_corporation"},
                   {"职务设置", "TFSetup_duty"},         {"员工资料", "TFSetup_manpower"},
                   {"收支项目设置", "TFSetup_earning_payout"}, {"资金帐户期初", "TFSetup_cash_bank"},
                   {"应收应付期初", "TFSetup_receivables_deal"}};
    for (const auto &w : windows) {
        const QString caption = QString::fromUtf8(w.caption);
        ASSERT_TRUE(catalog.has(caption)) << w.caption;
        std::unique_ptr<QWidget> window(catalog.window(caption)(app.ctx, nullptr));
        EXPECT_EQ(window->objectName(), QString::fromLatin1(w.window));
        auto *fw = dynamic_cast<FunctionWindow *>(window.get());
        ASSERT_NE(fw, nullptr);
        window->show();
        fw->setFullRights(false);
        for (QPushButton *b : window->findChildren<QPushButton *>()) {
            const QString t = b->text();
            const bool editing = t == QStringLiteral("删除") || t == QStringLiteral("增加") || t == QStringLiteral("修改") ||
                                 t == QStringLiteral("保存") || t == QStringLiteral("期初");
            EXPECT_EQ(b->isEnabled(), !editing) << w.caption << " " << t.toStdString();
        }
        expectEditingDisabled(window.get(), {});
        fw->setFullRights(true);
        for (QPushButton *b : window->findChildren<QPushButton *>())
            EXPECT_TRUE(b->isEnabled()) << w.caption << " " << b->text().toStdString();
    }
    EXPECT_TRUE(app.dialogs.asked.isEmpty());
}

VELMORA_ON_BOTH_ENGINES(BasedataWindowsTest);
