#pragma once

#include "device/SiteActions.h"

#include <QString>
#include <functional>
#include <vector>

// Where the site dialog reads, at each apply, the fields of the single
// buttons it repeats: the pages that show them.
struct SiteSources
{
    std::function<RecognitionFields()> config;
    std::function<std::vector<SiteAddress>()> callbacks;
    std::function<AddressFields()> service;
    std::function<TemperatureFields()> temperature;
    // The online service's heartbeat interval in seconds, as typed.
    std::function<QString()> heartbeatInterval;
};
