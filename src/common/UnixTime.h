#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

// Conversions of the window's date-times into the Unix seconds the terminal expects.

// The Unix seconds of a wall-clock time (the date and time of `local`, whatever
// zone it carries) read in `zone`, with the offset in force at that moment, as
// decimal text. The wall clock is first rounded to the nearest second, an exact
// half to the even second. A wall-clock time skipped by a daylight-saving jump
// counts with the offset before the jump; one that occurs twice counts as its
// first occurrence.
QString LocalToUnixSeconds(const QDateTime& local, const QTimeZone& zone);
// The same in the computer's configured zone.
QString LocalToUnixSeconds(const QDateTime& local);

// The Unix seconds of 00:00:00 UTC of the calendar date nearest to the wall-clock
// time of `local`, with no zone correction: before 12:00 its own date, after
// 12:00 the next one, exactly 12:00 the date with the even day number.
qint64 DayToUnixSeconds(const QDateTime& local);
