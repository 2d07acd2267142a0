#include "app/TemperatureSettings.h"

namespace TemperatureSettings {
namespace {

Entry entry(const char* key, const char* defaultValue, QStringList fields)
{
    return {QString::fromUtf8(key), QString::fromUtf8(defaultValue), std::move(fields)};
}

bool separatesParts(QChar c)
{
    return c.unicode() <= ' ';
}

} // namespace

const QList<Entry>& entries()
{
    static const QList<Entry> table{
        entry("是否打开测温模式", "1", {"cbisTempertureOpen"}),
        entry("是否异常温度语音播报", "1", {"cbisVoiceOpen1"}),
        entry("异常温度语音播报内容", "体温异常{temperature}度", {"edtVoiceContext1"}),
        entry("异常温度判断值", "37.3", {"edterrorTemperature"}),
        entry("设备模式", "3", {"cbdeviceStyle"}),
        entry("体温异常通行开关", "2", {"cbtemperatureErrorPass"}),
        entry("测温位置", "1", {"cbtemperatureMeasurePlace"}),
        entry("温度单位", "1", {"cbtempUnit"}),
        entry("有效温度", "30;43", {"edttemperatureMeasureMin", "edttemperatureMeasureMax"}),
        entry("低温映射开关", "2", {"cbtemperatureCompensation"}),
        entry("低温映射源温度", "30;34", {"edtlowTempMapSourceMin", "edtlowTempMapSourceMax"}),
        entry("低温映射目标温度", "36;36.5", {"edtlowTempMapTargetMin", "edtlowTempMapTargetMax"}),
        entry("高温映射开关", "2", {"cbtempMapSwitch"}),
        entry("高温映射源", "37.3;40", {"edthighTempMapSourceMin", "edthighTempMapSourceMax"}),
        entry("高温映射目标", "36.8;37.3", {"edthighTempMapTargetMin", "edthighTempMapTargetMax"}),
    };
    return table;
}

QStringList splitPair(const QString& value)
{
    QStringList parts;
    qsizetype at = 0;
    const qsizetype end = value.size();
    auto skipSeparators = [&] {
        while (at < end && separatesParts(value[at]))
            ++at;
    };
    skipSeparators();
    while (at < end) {
        const qsizetype start = at;
        while (at < end && !separatesParts(value[at]) && value[at] != ';')
            ++at;
        parts.append(value.mid(start, at - start));
        skipSeparators();
        if (at < end && value[at] == ';') {
            ++at;
            if (at == end)
                parts.append(QString());
            skipSeparators();
        }
    }
    return parts;
}

Loaded load(const Reader& read)
{
    Loaded loaded;
    for (const Entry& entry : entries()) {
        const QString value = read(entry.key, entry.defaultValue);
        if (entry.fields.size() == 1) {
            loaded.values.append({entry.fields[0], value});
            continue;
        }
        const QStringList parts = splitPair(value);
        for (qsizetype position = 0; position < entry.fields.size(); ++position) {
            if (position >= parts.size()) {
                loaded.error = QString("List index out of bounds (%1)").arg(position);
                return loaded;
            }
            loaded.values.append({entry.fields[position], parts[position]});
        }
    }
    return loaded;
}

QList<FieldValue> defaults()
{
    return load([](const QString&, const QString& fallback) { return fallback; }).values;
}

QList<StoredValue> toStore(const FieldReader& valueOf)
{
    QList<StoredValue> stored;
    for (const Entry& entry : entries()) {
        QStringList values;
        for (const QString& field : entry.fields)
            values << valueOf(field);
        stored.append({entry.key, values.join(';')});
    }
    return stored;
}

} // namespace TemperatureSettings
