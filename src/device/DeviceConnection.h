#pragma once

#include <QString>

// The terminal that device commands go to. A connect fills it; disconnecting
// keeps it, so later commands still reach the last terminal.
struct DeviceConnection
{
    QString deviceHost;
    int devicePort = 0;
};
