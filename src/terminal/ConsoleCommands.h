#pragma once

#include <QString>

class TerminalEvents;

// One line typed on the simulator's standard input; returns what to print.
QString runConsoleCommand(TerminalEvents& events, const QString& line);
