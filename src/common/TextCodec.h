#pragma once

#include <QByteArray>
#include <QString>

// The terminal and the settings file speak GBK (code page 936); the program holds
// text as Unicode and converts only at those edges.
namespace TextCodec {

// GBK bytes of a window text; a character GBK lacks becomes '?'.
QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);

QByteArray toUtf8(const QString& text);
// Strict decoding: bytes that are not valid UTF-8 give the empty text, as the
// terminal's replies are read.
QString fromUtf8Strict(const QByteArray& bytes);

} // namespace TextCodec
