#include "server/OrderNumbers.h"

#include <QTimeZone>

QString ServiceNumber(const QDateTime& local)
{
    return local.toString(QStringLiteral("yyMMddHHmmsszzz"));
}

QString OrderNumberSource::next(const QDateTime& now)
{
    // Compared as wall-clock readings, so that a clock set back by daylight
    // saving does not bring back numbers of the hour before.
    const QDateTime wallClock(now.date(), now.time(), QTimeZone::utc());
    last = last.isValid() && wallClock <= last ? last.addMSecs(1) : wallClock;
    return ServiceNumber(last);
}
