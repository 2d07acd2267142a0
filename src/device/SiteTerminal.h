#pragma once

#include <QString>
#include <vector>

// One terminal of a site, as the installer lists it.
struct SiteTerminal
{
    QString name;
    QString ip;
    QString password;

    bool operator==(const SiteTerminal&) const = default;
};

using SiteList = std::vector<SiteTerminal>;
