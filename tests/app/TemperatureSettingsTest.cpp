#include "app/TemperatureSettings.h"

#include <QMap>
#include <gtest/gtest.h>

using TemperatureSettings::splitPair;

TEST(TemperatureSettings, PairSplitting)
{
    EXPECT_EQ(splitPair("30;43"), (QStringList{"30", "43"}));
    EXPECT_EQ(splitPair("30;43;50"), (QStringList{"30", "43", "50"}));
    EXPECT_EQ(splitPair("30"), (QStringList{"30"}));
    EXPECT_EQ(splitPair(""), QStringList());
    EXPECT_EQ(splitPair("   "), QStringList());
    EXPECT_EQ(splitPair(";43"), (QStringList{"", "43"}));
    EXPECT_EQ(splitPair("30;"), (QStringList{"30", ""}));
    EXPECT_EQ(splitPair("30;;43"), (QStringList{"30", "", "43"}));
    EXPECT_EQ(splitPair(";"), (QStringList{"", ""}));
    EXPECT_EQ(splitPair("30 43"), (QStringList{"30", "43"}));
    EXPECT_EQ(splitPair("30\t43"), (QStringList{"30", "43"}));
    EXPECT_EQ(splitPair(" 30 ; 43 "), (QStringList{"30", "43"}));
    EXPECT_EQ(splitPair(QString::fromUtf8("三十;四十")),
              (QStringList{QString::fromUtf8("三十"), QString::fromUtf8("四十")}));
}

namespace {

// A reader over a fixed set of stored keys.
TemperatureSettings::Loaded loadFrom(const QMap<QString, QString>& stored)
{
    return TemperatureSettings::load(
        [&stored](const QString& key, const QString& fallback) { return stored.value(key, fallback); });
}

QMap<QString, QString> asMap(const QList<TemperatureSettings::FieldValue>& values)
{
    QMap<QString, QString> map;
    for (const auto& value : values)
        map.insert(value.field, value.value);
    return map;
}

} // namespace

TEST(TemperatureSettings, MissingKeysGiveTheDefaults)
{
    const auto loaded = loadFrom({});
    EXPECT_FALSE(loaded.error);
    ASSERT_EQ(loaded.values.size(), 20);
    const auto fields = asMap(loaded.values);
    EXPECT_EQ(fields["cbisTempertureOpen"], "1");
    EXPECT_EQ(fields["edtVoiceContext1"], QString::fromUtf8("体温异常{temperature}度"));
    EXPECT_EQ(fields["cbdeviceStyle"], "3");
    EXPECT_EQ(fields["edttemperatureMeasureMin"], "30");
    EXPECT_EQ(fields["edttemperatureMeasureMax"], "43");
    EXPECT_EQ(fields["edthighTempMapTargetMin"], "36.8");
    EXPECT_EQ(fields["edthighTempMapTargetMax"], "37.3");
}

TEST(TemperatureSettings, StoredValuesAreLoadedEmptyOnesIncluded)
{
    const auto loaded = loadFrom({{QString::fromUtf8("是否打开测温模式"), ""},
                                  {QString::fromUtf8("有效温度"), "30;43;50"},
                                  {QString::fromUtf8("低温映射目标温度"), ";36.5"}});
    EXPECT_FALSE(loaded.error);
    const auto fields = asMap(loaded.values);
    EXPECT_EQ(fields["cbisTempertureOpen"], "");
    EXPECT_EQ(fields["edttemperatureMeasureMin"], "30");
    EXPECT_EQ(fields["edttemperatureMeasureMax"], "43");
    EXPECT_EQ(fields["edtlowTempMapTargetMin"], "");
    EXPECT_EQ(fields["edtlowTempMapTargetMax"], "36.5");
}

TEST(TemperatureSettings, PairWithOnePartStopsAtItsMaximum)
{
    const auto loaded = loadFrom({{QString::fromUtf8("有效温度"), "31"}});
    ASSERT_TRUE(loaded.error);
    EXPECT_EQ(*loaded.error, "List index out of bounds (1)");
    // Keys 1 to 8 and the minimum of key 9.
    ASSERT_EQ(loaded.values.size(), 9);
    EXPECT_EQ(loaded.values.back().field, "edttemperatureMeasureMin");
    EXPECT_EQ(loaded.values.back().value, "31");
}

TEST(TemperatureSettings, EmptyPairStopsAtItsMinimum)
{
    const auto loaded = loadFrom({{QString::fromUtf8("高温映射目标"), ""}});
    ASSERT_TRUE(loaded.error);
    EXPECT_EQ(*loaded.error, "List index out of bounds (0)");
    ASSERT_EQ(loaded.values.size(), 18);
    EXPECT_EQ(loaded.values.back().field, "edthighTempMapSourceMax");
}
