#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringView>

// A log pane's line as it stands in the log file: UTF-8, "HH:mm:ss.zzz <pane>
// <text>" and a line feed. A text of several lines gives a file line for each,
// all with the same time and pane, so that every file line stands alone.
namespace LogFileLine {

// The most of one line's text the file holds, in bytes; the rest is left out
// and a marker says how much.
constexpr qsizetype kMaxTextBytes = qsizetype(1) << 20;

// What follows a text cut at kMaxTextBytes.
QString marker(qsizetype bytesLeftOut);

// Appends the line's file lines to `to`; `stamp` is the local time of day.
void append(QByteArray& to, const QByteArray& stamp, const QByteArray& pane, QStringView text);

} // namespace LogFileLine
