#include "app/LogSettings.h"

#include "common/SettingsFile.h"

namespace {

const char* const kSection = "Log";
// No value reads as a line break, so this stands for a missing key.
const QString kMissing = QStringLiteral("\n");

int readLimit(const SettingsFile& file, const char* key, int fallback, int least, QStringList& problems)
{
    const QString value = file.ReadSetting(kSection, key, kMissing);
    if (value == kMissing)
        return fallback;
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (isNumber && number >= least)
        return number;
    problems << QString::fromUtf8("Horavel.ini [%1] %2=%3 无效（应为不小于 %4 的整数），使用默认值 %5")
                    .arg(kSection, key, value)
                    .arg(least)
                    .arg(fallback);
    return fallback;
}

} // namespace

LogSettings LogSettings::read(const SettingsFile& file)
{
    LogSettings settings;
    settings.maxPaneLines =
        readLimit(file, "MaxPaneLines", kDefaultMaxPaneLines, kLeastMaxPaneLines, settings.problems);
    settings.keepDays = readLimit(file, "KeepDays", kDefaultKeepDays, 1, settings.problems);
    settings.maxTotalMB = readLimit(file, "MaxTotalMB", kDefaultMaxTotalMB, 1, settings.problems);
    settings.trafficMB = readLimit(file, "TrafficMB", kDefaultTrafficMB, 1, settings.problems);
    return settings;
}
