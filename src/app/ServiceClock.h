#pragma once

#include "server/ServiceFields.h"

#include <QObject>
#include <functional>

// The clock and zone the consumption replies are stamped with: the computer's,
// unless a test sets a fixed moment. A child of the main window named
// "serviceClock".
class ServiceClock : public QObject
{
    Q_OBJECT

public:
    explicit ServiceClock(QObject* parent);

    ServiceTime now() const;
    // An empty source goes back to the computer's clock and zone.
    void setSource(std::function<ServiceTime()> source);

private:
    std::function<ServiceTime()> source;
};
