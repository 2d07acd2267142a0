#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

// Which log files the logs folder keeps: none older than a number of days, and
// together no more than a number of bytes, the oldest going first. Only files
// named as a day's log file ("YYYY-MM-DD.log") are counted or removed.
namespace LogRetention {

struct Kept
{
    qint64 bytes = 0;
    // Files kept apart from the one that is being written.
    int others = 0;
};

// Removes the files of days before `today` less `keepDays`, then the oldest
// until the rest is within `maxBytes`; the file named `current` is never
// removed. Gives what is left.
Kept prune(const QString& folder, QDate today, int keepDays, qint64 maxBytes, const QString& current);

} // namespace LogRetention
