#include "order_number.h"

#include "database.h"

QString NextOrderIDAfter(const QString &greatest, qlonglong rowCount)
{
    const QString s = greatest.trimmed();
    if (s.isEmpty() || !s.back().isDigit())
        return QString::number(rowCount + 1).rightJustified(8, QLatin1Char('0'));
    int start = int(s.size());
    while (start > 0 && s[start - 1].isDigit())
        --start;
    const QString run = s.mid(start);
    QString digits;
    if (run.size() < 9) {
        digits = QString::number(run.toLongLong() + 1);
    } else {
        // Long runs: the first eight digits stay, the rest counts up at its width.
        const QString rest = run.mid(8);
        QString next;
        // Count up as text so that any length works.
        next = rest;
        int i = int(next.size()) - 1;
        while (i >= 0 && next[i] == QLatin1Char('9'))
            next[i--] = QLatin1Char('0');
        if (i >= 0)
            next[i] = QChar(next[i].unicode() + 1);
        else
            next.prepend(QLatin1Char('1'));
        digits = run.left(8) + next;
    }
    return s.left(std::max<qsizetype>(0, s.size() - digits.size())) + digits;
}

QString NextOrderID(Database &db, const QString &masterTable)
{
    const QString greatest = sqlvalue::toString(db.scalar(QStringLiteral("SELECT max(OrderID) FROM %1").arg(masterTable)));
    const QString s = greatest.trimmed();
    if (!s.isEmpty() && s.back().isDigit())
        return NextOrderIDAfter(s, 0);
    const qlonglong count = sqlvalue::toInt(db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(masterTable)));
    return NextOrderIDAfter(s, count);
}
