#include "app/DeviceSettingsRecorder.h"

#include "common/SettingsFile.h"

RecordSettings DeviceSettingsRecorder(const QString& programFolder)
{
    return [file = SettingsFile::inFolder(programFolder)](const SettingValues& values) {
        file.EnsureSettingsFile();
        for (const auto& [key, value] : values)
            file.WriteSetting(SettingsFile::kDeviceSection, key, value);
    };
}
