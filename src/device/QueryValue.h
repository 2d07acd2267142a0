#pragma once

#include <QString>

// A window text as it goes into a command's query string. The bytes that would
// change the request are percent-encoded with two upper-case hex digits: the
// blank, "#", "&", "%", "+", "=", "?", "\", control characters and every byte of
// 128 and above (so non-ASCII text travels as its GBK bytes). Every other byte
// stays as typed, so digits, letters, dots, colons and dashes go out unchanged.
QString QueryValue(const QString& text);
