#pragma once

#include <QDateTime>
#include <QString>

// The local date and time as the fifteen digits "yymmddhhnnsszzz" that task and
// order numbers carry.
QString ServiceNumber(const QDateTime& local);

// Hands out order numbers in that form. Several terminals of one canteen may
// trade in the same millisecond, so a number never repeats: a moment not later
// than the last one handed out (on the wall clock) is moved one millisecond past it.
class OrderNumberSource
{
public:
    QString next(const QDateTime& now);

private:
    QDateTime last;
};
