#pragma once

#include <QString>
#include <functional>
#include <utility>
#include <vector>

// Keys and values a command records in the settings file after the terminal
// has accepted them, in the order they are to be written.
using SettingValues = std::vector<std::pair<QString, QString>>;

// Writes the values into the settings file's device section, creating the file
// first when it is missing; a write that fails throws Failure, and the values
// written before it stay written.
using RecordSettings = std::function<void(const SettingValues& values)>;
