#pragma once

#include "device/SiteTerminal.h"

#include <QByteArray>
#include <QString>

// The site list kept between runs, as JSON: {"terminals": [{"name", "ip",
// "password"}, ...]}.
struct SiteFileContents
{
    SiteList terminals;
    // Set when the file could not be read as a site list: it was moved aside
    // to <path>.bad, and this says so.
    QString damage;
};

// A missing file is an empty site.
SiteFileContents ReadSiteFile(const QString& path);

// Replaces the file in one step, readable by its owner only, since it holds
// passwords. Throws Failure when it cannot be written.
void WriteSiteFile(const QString& path, const SiteList& terminals);

// The columns 名称,IP,密码 of a site spreadsheet (English: name, ip,
// password), in UTF-8 or GBK. A sheet without an IP column throws Failure.
SiteList ReadSiteCsv(const QByteArray& bytes);
QByteArray SiteCsv(const SiteList& terminals);
