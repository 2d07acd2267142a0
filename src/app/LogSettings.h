#pragma once

#include <QString>
#include <QStringList>

class SettingsFile;

// The section "[Log]" of the settings file, read at start-up: how many lines a
// log pane keeps, how long and how much of the log files on disk are kept, and
// how much memory the traffic panel's records take.
// A missing key gives its default; a value that is not a whole number, or one
// below its least, gives the default too and a line that says so.
struct LogSettings
{
    static constexpr int kDefaultMaxPaneLines = 100'000;
    static constexpr int kLeastMaxPaneLines = 1'000;
    static constexpr int kDefaultKeepDays = 30;
    static constexpr int kDefaultMaxTotalMB = 1024;
    static constexpr int kDefaultTrafficMB = 16;

    int maxPaneLines = kDefaultMaxPaneLines;
    int keepDays = kDefaultKeepDays;
    int maxTotalMB = kDefaultMaxTotalMB;
    // What the traffic panel's records may take in memory; it writes no file.
    int trafficMB = kDefaultTrafficMB;
    // One line for each key that fell back to its default.
    QStringList problems;

    qint64 maxTotalBytes() const { return qint64(maxTotalMB) << 20; }
    qint64 trafficBytes() const { return qint64(trafficMB) << 20; }

    static LogSettings read(const SettingsFile& file);
};
