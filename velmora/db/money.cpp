#include "money.h"

#include <QVariant>
#include <cmath>

namespace {
std::int64_t roundHalfAway(long double v) { return std::int64_t(v < 0 ? v - 0.5L : v + 0.5L); }
} // namespace

Money Money::fromDouble(double value) { return fromRaw(roundHalfAway((long double)value * Scale)); }

Money Money::parse(const QString &input, bool *ok)
{
    QString text = input.trimmed();
    text.remove(QLatin1Char(','));
    auto fail = [&] {
        if (ok)
            *ok = false;
        return Money();
    };
    if (text.isEmpty())
        return fail();
    if (text.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
        bool dok = false;
        const double d = text.toDouble(&dok);
        if (!dok || !std::isfinite(d))
            return fail();
        if (ok)
            *ok = true;
        return fromDouble(d);
    }
    int i = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
        negative = text[0] == QLatin1Char('-');
        ++i;
    }
    std::int64_t whole = 0;
    std::int64_t frac = 0;
    int fracDigits = 0;
    bool digits = false, point = false, roundUp = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('.') && !point) {
            point = true;
            continue;
        }
        if (!c.isDigit())
            return fail();
        digits = true;
        const int d = c.digitValue();
        if (!point) {
            if (whole > (INT64_MAX / Scale - 9) / 10)
                return fail();
            whole = whole * 10 + d;
        } else if (fracDigits < 4) {
            frac = frac * 10 + d;
            ++fracDigits;
        } else if (fracDigits == 4) {
            roundUp = d >= 5;
            ++fracDigits;
        }
    }
    if (!digits)
        return fail();
    for (int k = std::min(fracDigits, 4); k < 4; ++k)
        frac *= 10;
    std::int64_t raw = whole * Scale + frac + (roundUp ? 1 : 0);
    if (ok)
        *ok = true;
    return fromRaw(negative ? -raw : raw);
}

Money Money::fromVariant(const QVariant &value, bool *ok)
{
    if (ok)
        *ok = true;
    if (!value.isValid() || value.isNull())
        return {};
    if (value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>();
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return fromUnits(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(value.toDouble());
    default: {
        const QString s = value.toString();
        if (s.trimmed().isEmpty())
            return {};
        return parse(s, ok);
    }
    }
}

QString Money::toString(int decimals) const
{
    decimals = std::clamp(decimals, 0, 4);
    std::int64_t div = 1;
    for (int k = decimals; k < 4; ++k)
        div *= 10;
    std::int64_t a = raw_ < 0 ? -raw_ : raw_;
    a = (a + div / 2) / div; // half away from zero
    std::int64_t unit = 1;
    for (int k = 0; k < decimals; ++k)
        unit *= 10;
    QString s = QString::number(a / unit);
    if (decimals > 0)
        s += QLatin1Char('.') + QString::number(a % unit).rightJustified(decimals, QLatin1Char('0'));
    if (raw_ < 0 && a != 0)
        s.prepend(QLatin1Char('-'));
    return s;
}

QString Money::toDisplay() const
{
    const QString plain = toString(2);
    const bool negative = plain.startsWith(QLatin1Char('-'));
    const int point = plain.indexOf(QLatin1Char('.'));
    QString whole = plain.mid(negative ? 1 : 0, point - (negative ? 1 : 0));
    const QString frac = plain.mid(point);
    if (whole == QLatin1String("0"))
        whole.clear();
    for (int pos = whole.size() - 3; pos > 0; pos -= 3)
        whole.insert(pos, QLatin1Char(','));
    return (negative ? QStringLiteral("-") : QString()) + whole + frac;
}

Money Money::operator*(Money o) const
{
    const __int128 p = (__int128)raw_ * o.raw_;
    const __int128 half = Scale / 2;
    const __int128 r = p < 0 ? (p - half) / Scale : (p + half) / Scale;
    return fromRaw(std::int64_t(r));
}
