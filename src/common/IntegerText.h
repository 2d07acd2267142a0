#pragma once

#include <QString>

// Reads a whole number as the window's number fields are read: leading blanks,
// an optional "-" or "+", then decimal digits, or hexadecimal digits after "$",
// "x", "X", "0x" or "0X"; the value must fit a signed 32-bit integer. Anything
// else, a trailing blank or an empty text included, throws Failure with
// "'<text>' is not a valid integer value".
int ReadInteger(const QString& text);
