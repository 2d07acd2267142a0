#pragma once

#include <QString>

// Replaces every blank by "%20" and leaves every other character as it is, for
// query strings whose other characters the terminal takes verbatim.
QString EscapeBlanks(const QString& text);
