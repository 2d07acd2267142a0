#include "app/DeviceSettingsRecorder.h"

#include "app/SettingsFile.h"

RecordSettings DeviceSettingsRecorder(const QString& programFolder)
{
    return [file = SettingsFile::inFolder(programFolder)](const SettingValues& values) {
        file.EnsureSettingsFile();
        for (const auto& [key, value] : values)
            file.WriteSetting(QStringLiteral("Dovarin"), key, value);
    };
}
