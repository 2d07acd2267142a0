#pragma once

#include <QStringList>

// Runs the subcommand that the arguments name (arguments[0] being the
// program) and returns the exit status.
int RunCommandLine(const QStringList& arguments);
