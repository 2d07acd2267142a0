#pragma once

#include "app/LogSettings.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <memory>

class LogFileWriter;
class LogView;
class SettingsFile;

// What the log panes keep: the newest lines in memory, as many as the settings
// file's "[Log]" section allows, and every line in the day's file of the
// program folder's "logs" folder, written off the window thread.
class PaneLogging
{
public:
    PaneLogging();
    // Stops recording the panes, then writes what waits.
    ~PaneLogging();
    PaneLogging(const PaneLogging&) = delete;
    PaneLogging& operator=(const PaneLogging&) = delete;

    static QString folderIn(const QString& programFolder);
    // Shows the folder in the desktop's file manager, making it first when it is
    // missing; false when nothing could show it.
    static bool openFolder(const QString& folder);

    // Reads the section, bounds every pane and starts recording their lines. A
    // key that falls back to its default, and a disk that fails, are reported
    // by a line in `notices`. Returns what it read.
    LogSettings start(const SettingsFile& settings, const QString& programFolder,
               const QList<LogView*>& panes, LogView* notices);

private:
    QList<QPointer<LogView>> recorded;
    std::unique_ptr<LogFileWriter> writer;
};
