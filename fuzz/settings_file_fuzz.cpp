// A settings file that a person may have edited: every lookup of the reader,
// the temperature loading on top of it, and a write into the same file.
#include "common/SettingsFile.h"
#include "app/TemperatureSettings.h"
#include "common/Failure.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder(QStringLiteral("/dev/shm/quillmoor-fuzz-XXXXXX"));
    const SettingsFile settings = SettingsFile::inFolder(folder.path());
    {
        QFile file(settings.path());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    TemperatureSettings::load([&settings](const QString& key, const QString& fallback) {
        return settings.ReadSetting(TemperatureSettings::kSection, key, fallback);
    });
    settings.ReadSetting(QStringLiteral("Dovarin"), QStringLiteral("IP"), QString());
    try {
        settings.WriteSetting(QStringLiteral("Dovarin"), QStringLiteral("IP"), QStringLiteral("127.0.0.1"));
        settings.WriteSetting(QStringLiteral("NewSection"), QStringLiteral("key"), QString());
    } catch (const Failure&) {
    }
    return 0;
}
