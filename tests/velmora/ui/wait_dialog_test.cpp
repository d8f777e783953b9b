#include "wait_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

TEST(WaitDialog, LooksAsDesigned)
{
    TFwait w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("数据处理"));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("系统正在汇总数据，请稍等……"));
    const QProgressBar *bar = w.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
}

TEST(WaitDialog, EveryShowStartsAtZero)
{
    TFwait w;
    w.show();
    EXPECT_EQ(w.progress(), 0);
    for (const auto &[set, shown] : {std::pair{40, 40}, {100, 100}, {130, 100}, {-5, 0}, {60, 60}}) {
        w.setProgress(set);
        EXPECT_EQ(w.progress(), shown) << set;
    }
    w.finish();
    EXPECT_FALSE(w.isVisible());
    w.show();
    EXPECT_EQ(w.progress(), 0);
    w.finish();
}

TEST(WaitDialog, UserCannotCloseItMidWork)
{
    TFwait w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    w.close();
    EXPECT_TRUE(w.isVisible());
    w.finish();
    EXPECT_FALSE(w.isVisible());
}
