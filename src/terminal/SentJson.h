#pragma once

#include <QByteArray>
#include <QString>

// The tool builds some JSON objects from pieces in different encodings (a
// person's "id" as typed, in GBK, and the name in UTF-8), so the terminal reads
// each string of such an object on its own: as UTF-8 when it is valid UTF-8,
// and as GBK otherwise. The text between the strings is ASCII.
QString readSentJson(const QByteArray& bytes);
