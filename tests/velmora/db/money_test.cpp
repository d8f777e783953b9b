#include "money.h"

#include <QVariant>
#include <gtest/gtest.h>

TEST(Money, ParsesAndPrintsExactly)
{
    struct Case {
        const char *text;
        std::int64_t raw;
        const char *plain;
        const char *display;
    } cases[] = {
        {"0", 0, "0.0000", ".00"},
        {"1234.5", 12345000, "1234.5000", "1,234.50"},
        {"-0.25", -2500, "-0.2500", "-.25"},
        {"1,234,567.891", 12345678910, "1234567.8910", "1,234,567.89"},
        {"0.00005", 1, "0.0001", ".00"},   // fifth decimal rounds half away from zero
        {"-0.00005", -1, "-0.0001", ".00"},
        {"1e3", 10000000, "1000.0000", "1,000.00"},
        {"+7", 70000, "7.0000", "7.00"},
        {"999999.995", 9999999950, "999999.9950", "1,000,000.00"},
    };
    for (const Case &c : cases) {
        bool ok = false;
        const Money m = Money::parse(QString::fromUtf8(c.text), &ok);
        EXPECT_TRUE(ok) << c.text;
        EXPECT_EQ(m.raw(), c.raw) << c.text;
        EXPECT_EQ(m.toString().toStdString(), c.plain) << c.text;
        EXPECT_EQ(m.toDisplay().toStdString(), c.display) << c.text;
    }
}

TEST(Money, RefusesWhatIsNoNumber)
{
    for (const char *text : {"", "abc", "1.2.3", "12a", "-", "."}) {
        bool ok = true;
        Money::parse(QString::fromUtf8(text), &ok);
        EXPECT_FALSE(ok) << text;
    }
}

TEST(Money, SumsDoNotDrift)
{
    Money total;
    for (int i = 0; i < 1000; ++i)
        total += Money::parse(QStringLiteral("0.1"));
    EXPECT_EQ(total, Money::fromUnits(100));
    EXPECT_EQ(Money::fromDouble(0.1 + 0.2), Money::parse(QStringLiteral("0.3")));
}

TEST(Money, ProductsRoundToFourDecimals)
{
    EXPECT_EQ((Money::parse(QStringLiteral("100")) * 3).toString(), QStringLiteral("300.0000"));
    EXPECT_EQ((Money::parse(QStringLiteral("0.3333")) * Money::parse(QStringLiteral("0.5"))).toString(),
              QStringLiteral("0.1667"));
    EXPECT_EQ((Money::parse(QStringLiteral("-0.3333")) * Money::parse(QStringLiteral("0.5"))).toString(),
              QStringLiteral("-0.1667"));
}

TEST(Money, ReadsEveryShapeTheDriversHandBack)
{
    EXPECT_EQ(Money::fromVariant(QVariant()), Money());
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral("12.3400"))), Money::parse(QStringLiteral("12.34")));
    EXPECT_EQ(Money::fromVariant(QVariant(12)), Money::fromUnits(12));
    EXPECT_EQ(Money::fromVariant(QVariant(12.34)), Money::parse(QStringLiteral("12.34")));
    EXPECT_EQ(Money::fromVariant(QVariant::fromValue(Money::fromUnits(5))), Money::fromUnits(5));
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral(""))), Money());
    bool ok = true;
    Money::fromVariant(QVariant(QStringLiteral("x")), &ok);
    EXPECT_FALSE(ok);
}
