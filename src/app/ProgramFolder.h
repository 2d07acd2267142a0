#pragma once

#include <QString>

// Where the program keeps its settings file and photos: beside the executable,
// as a copy run from its build folder always has; when that folder is not
// writable (an installed copy under /usr/bin), the per-user data folder instead.
QString ChooseProgramFolder(const QString& executableFolder);
