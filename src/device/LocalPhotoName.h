#pragma once

#include <QString>

// Whether a text taken from the terminal may name a photo file inside its folder:
// not empty, not "." or "..", no "..", no path separator, no control character.
// Anything else could write outside the folder or cannot be a file name.
bool IsSafeLocalName(const QString& name);
