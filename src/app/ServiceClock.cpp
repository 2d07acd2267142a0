#include "app/ServiceClock.h"

ServiceClock::ServiceClock(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("serviceClock"));
}

ServiceTime ServiceClock::now() const
{
    if (source)
        return source();
    return {QDateTime::currentDateTime(), QTimeZone::systemTimeZone()};
}

void ServiceClock::setSource(std::function<ServiceTime()> newSource)
{
    source = std::move(newSource);
}
