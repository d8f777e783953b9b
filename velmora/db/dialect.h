#pragma once
// The few places where the two engines' SQL differs. Everything else is written
// once in the subset both accept.
#include "connection_string.h"

#include <QString>

class Dialect {
public:
    explicit Dialect(Engine engine) : engine_(engine) {}
    Engine engine() const { return engine_; }

    QString identityPrimaryKey() const;
    QString moneyType() const { return QStringLiteral("NUMERIC(19,4)"); }
    QString realType() const;
    QString dateTimeType() const;
    QString boolType() const { return QStringLiteral("INTEGER"); }
    QString textType(int width) const;
    // Appended to a SELECT that reads rows the same transaction will change.
    QString forUpdate() const;
    // Starts a write transaction; SQLite takes the write lock at once.
    QString beginStatement() const;
    // Text of a date-time expression as "yyyy-MM-dd".
    QString dateText(const QString &expr) const;

private:
    Engine engine_;
};
