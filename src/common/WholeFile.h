#pragma once

#include <QByteArray>
#include <QString>

// A file read or written in one piece; either throws Failure with the path and
// the system's reason.
QByteArray ReadWholeFile(const QString& path);

// Replaces the file in one step, so that it is never seen half written; with
// ownerOnly, no one else may read it, not even while it is being written.
void ReplaceWholeFile(const QString& path, const QByteArray& bytes, bool ownerOnly = false);
