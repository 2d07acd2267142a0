#pragma once

#include "device/RecordSettings.h"

#include <QString>

// Records device values in the "Dovarin" section of the program folder's settings file.
RecordSettings DeviceSettingsRecorder(const QString& programFolder);
