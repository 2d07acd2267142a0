#include "common/TextCodec.h"
#include "support/WindowTest.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The settings file is written before the window is shown, since showing loads it.
class TemperatureMaskPageTest : public WindowTest
{
protected:
    void writeSettings(const QString& text)
    {
        QFile file(folder.filePath("Horavel.ini"));
        file.open(QIODevice::WriteOnly);
        file.write(TextCodec::toGbk(text));
    }

    QString key(const char* name)
    {
        const int index = field<QComboBox>(name)->currentIndex();
        return index < 0 ? QString() : QString::number(index + 1);
    }

    QString text(const char* name) { return field<QLineEdit>(name)->text(); }

    QString shown(const char* name) { return QByteArray(name).startsWith("cb") ? key(name) : text(name); }
};

const char* const kTemperatureDefaults[][2] = {
    {"cbisTempertureOpen", "1"},
    {"cbisVoiceOpen1", "1"},
    {"edtVoiceContext1", "体温异常{temperature}度"},
    {"edterrorTemperature", "37.3"},
    {"cbdeviceStyle", "3"},
    {"cbtemperatureErrorPass", "2"},
    {"cbtemperatureMeasurePlace", "1"},
    {"cbtempUnit", "1"},
    {"edttemperatureMeasureMin", "30"},
    {"edttemperatureMeasureMax", "43"},
    {"cbtemperatureCompensation", "2"},
    {"edtlowTempMapSourceMin", "30"},
    {"edtlowTempMapSourceMax", "34"},
    {"edtlowTempMapTargetMin", "36"},
    {"edtlowTempMapTargetMax", "36.5"},
    {"cbtempMapSwitch", "2"},
    {"edthighTempMapSourceMin", "37.3"},
    {"edthighTempMapSourceMax", "40"},
    {"edthighTempMapTargetMin", "36.8"},
    {"edthighTempMapTargetMax", "37.3"},
};

} // namespace

TEST_F(TemperatureMaskPageTest, FirstStartCreatesAnEmptyFileAndShowsTheDefaults)
{
    show();
    QFile file(folder.filePath("Horavel.ini"));
    ASSERT_TRUE(file.exists());
    EXPECT_EQ(file.size(), 0);
    EXPECT_TRUE(errors.isEmpty());
    for (const auto& [name, value] : kTemperatureDefaults)
        EXPECT_EQ(shown(name), u(value)) << name;
}

TEST_F(TemperatureMaskPageTest, StartLoadsEveryStoredValueIntoItsField)
{
    writeSettings(u("[Dovarin]\r\nIP=9.9.9.9\r\n"
                    "[Temperture]\r\n"
                    "是否打开测温模式=2\r\n是否异常温度语音播报=2\r\n异常温度语音播报内容=请复测\r\n"
                    "异常温度判断值=38\r\n设备模式=1\r\n体温异常通行开关=1\r\n测温位置=2\r\n"
                    "温度单位=2\r\n有效温度=31;42;50\r\n低温映射开关=1\r\n低温映射源温度=29;33\r\n"
                    "低温映射目标温度=35;35.5\r\n高温映射开关=1\r\n高温映射源=38;41\r\n"
                    "高温映射目标=\"36;37\"\r\n"));
    show();
    EXPECT_TRUE(errors.isEmpty());
    const char* const loaded[][2] = {
        {"cbisTempertureOpen", "2"},
        {"cbisVoiceOpen1", "2"},
        {"edtVoiceContext1", "请复测"},
        {"edterrorTemperature", "38"},
        {"cbdeviceStyle", "1"},
        {"cbtemperatureErrorPass", "1"},
        {"cbtemperatureMeasurePlace", "2"},
        {"cbtempUnit", "2"},
        {"edttemperatureMeasureMin", "31"},
        {"edttemperatureMeasureMax", "42"},
        {"cbtemperatureCompensation", "1"},
        {"edtlowTempMapSourceMin", "29"},
        {"edtlowTempMapSourceMax", "33"},
        {"edtlowTempMapTargetMin", "35"},
        {"edtlowTempMapTargetMax", "35.5"},
        {"cbtempMapSwitch", "1"},
        {"edthighTempMapSourceMin", "38"},
        {"edthighTempMapSourceMax", "41"},
        {"edthighTempMapTargetMin", "36"},
        {"edthighTempMapTargetMax", "37"},
    };
    for (const auto& [name, value] : loaded)
        EXPECT_EQ(shown(name), u(value)) << name;
}

TEST_F(TemperatureMaskPageTest, ValuesThatAreNoItemKeyLeaveTheChoiceEmpty)
{
    writeSettings(u("[Temperture]\r\n是否打开测温模式=\r\n设备模式=4\r\n温度单位=01\r\n"));
    show();
    EXPECT_EQ(key("cbisTempertureOpen"), "");
    EXPECT_EQ(key("cbdeviceStyle"), "");
    EXPECT_EQ(key("cbtempUnit"), "");
    EXPECT_EQ(key("cbisVoiceOpen1"), "1");
}

TEST_F(TemperatureMaskPageTest, PairWithOnePartShowsTheIndexErrorAndStopsLoading)
{
    writeSettings(u("[Temperture]\r\n"
                    "是否打开测温模式=2\r\n是否异常温度语音播报=2\r\n异常温度语音播报内容=x\r\n"
                    "异常温度判断值=38\r\n设备模式=1\r\n体温异常通行开关=1\r\n测温位置=2\r\n"
                    "温度单位=2\r\n有效温度=31\r\n低温映射开关=1\r\n低温映射源温度=1;2\r\n"
                    "高温映射目标=3;4\r\n"));
    show();
    EXPECT_EQ(errors, QStringList{"List index out of bounds (1)"});
    EXPECT_EQ(key("cbisTempertureOpen"), "2");
    EXPECT_EQ(key("cbisVoiceOpen1"), "2");
    EXPECT_EQ(text("edtVoiceContext1"), "x");
    EXPECT_EQ(text("edterrorTemperature"), "38");
    EXPECT_EQ(key("cbdeviceStyle"), "1");
    EXPECT_EQ(key("cbtemperatureErrorPass"), "1");
    EXPECT_EQ(key("cbtemperatureMeasurePlace"), "2");
    EXPECT_EQ(key("cbtempUnit"), "2");
    EXPECT_EQ(text("edttemperatureMeasureMin"), "31");
    // From here on the form's defaults.
    EXPECT_EQ(text("edttemperatureMeasureMax"), "43");
    EXPECT_EQ(key("cbtemperatureCompensation"), "2");
    EXPECT_EQ(text("edtlowTempMapSourceMin"), "30");
    EXPECT_EQ(text("edthighTempMapTargetMax"), "37.3");
    // The rest of the show sequence ran before, and the window is usable.
    EXPECT_EQ(text("edtvoiceContext"), u("请佩戴口罩"));
    EXPECT_TRUE(window.isVisible());
}

TEST_F(TemperatureMaskPageTest, MaskDefaultsAtShowAndOnButton6)
{
    show();
    EXPECT_EQ(key("cbisMaskOpen"), "1");
    EXPECT_EQ(key("cbisVoiceOpen"), "1");
    EXPECT_EQ(text("edtvoiceContext"), u("请佩戴口罩"));
    EXPECT_EQ(key("cbisMaskFoceOpen"), "2");

    field<QComboBox>("cbisMaskOpen")->setCurrentIndex(1);
    field<QComboBox>("cbisVoiceOpen")->setCurrentIndex(-1);
    field<QLineEdit>("edtvoiceContext")->clear();
    field<QComboBox>("cbisMaskFoceOpen")->setCurrentIndex(0);
    QTest::mouseClick(field<QPushButton>("Button6"), Qt::LeftButton);
    EXPECT_EQ(key("cbisMaskOpen"), "1");
    EXPECT_EQ(key("cbisVoiceOpen"), "1");
    EXPECT_EQ(text("edtvoiceContext"), u("请佩戴口罩"));
    EXPECT_EQ(key("cbisMaskFoceOpen"), "2");
    EXPECT_TRUE(errors.isEmpty());
}
