#pragma once
// Exact amounts: a signed count of ten-thousandths, so totals never drift.
#include <QMetaType>
#include <QString>
#include <compare>
#include <cstdint>

class QVariant;

class Money {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t units) { return Money(units * Scale, Raw{}); }
    static constexpr Money fromRaw(std::int64_t raw) { return Money(raw, Raw{}); }
    static Money fromDouble(double value);
    // Accepts "1234.5", "-0.25", "1,234.50", "1e3"; ok is false for anything else.
    static Money parse(const QString &text, bool *ok = nullptr);
    // Money, numbers and numeric text; null and empty give zero.
    static Money fromVariant(const QVariant &value, bool *ok = nullptr);

    constexpr std::int64_t raw() const { return raw_; }
    double toDouble() const { return double(raw_) / Scale; }
    // Plain text with the given decimals, half away from zero: "-1234.50".
    QString toString(int decimals = 4) const;
    // "#,###.00": thousands separated, two decimals, nothing before the point for |x| < 1.
    QString toDisplay() const;
    bool isZero() const { return raw_ == 0; }

    Money operator-() const { return fromRaw(-raw_); }
    Money operator+(Money o) const { return fromRaw(raw_ + o.raw_); }
    Money operator-(Money o) const { return fromRaw(raw_ - o.raw_); }
    Money &operator+=(Money o) { raw_ += o.raw_; return *this; }
    Money &operator-=(Money o) { raw_ -= o.raw_; return *this; }
    Money operator*(std::int64_t n) const { return fromRaw(raw_ * n); }
    // Product of two amounts (price × rate), rounded half away from zero to four decimals.
    Money operator*(Money o) const;
    constexpr auto operator<=>(const Money &) const = default;

private:
    struct Raw {};
    constexpr Money(std::int64_t raw, Raw) : raw_(raw) {}
    std::int64_t raw_ = 0;
};

Q_DECLARE_METATYPE(Money)
