#include "common/TextCodec.h"
#include "app/LogView.h"
#include "support/FakeTerminal.h"
#include "support/WindowTest.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A shown window connected to a fake terminal, on the temperature and mask page.
class TemperatureMaskCommands : public WindowTest
{
protected:
    explicit TemperatureMaskCommands(int lastOctet) : terminal(lastOctet, 8090, "127.0.12.")
    {
        show();
        field<QLineEdit>("edtIP")->setText(terminal.host());
        click("btnLink");
        EXPECT_EQ(terminal.requestCount(), 1);
    }

    void click(const char* button) { QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton); }

    QStringList logLines() { return field<LogView>("mmLog")->toPlainText().split('\n'); }

    void empty(const char* name)
    {
        if (QByteArray(name).startsWith("cb"))
            field<QComboBox>(name)->setCurrentIndex(-1);
        else
            field<QLineEdit>(name)->clear();
    }

    QString settingsText()
    {
        QFile file(folder.filePath("Horavel.ini"));
        file.open(QIODevice::ReadOnly);
        return TextCodec::fromGbk(file.readAll());
    }

    FakeTerminal terminal;
};

class TemperatureDefaults : public TemperatureMaskCommands
{
protected:
    TemperatureDefaults() : TemperatureMaskCommands(20) {}
};

class RequiredFields : public TemperatureMaskCommands
{
protected:
    RequiredFields() : TemperatureMaskCommands(21) {}
};

class TemperatureStored : public TemperatureMaskCommands
{
protected:
    TemperatureStored() : TemperatureMaskCommands(22) {}
};

} // namespace

TEST_F(TemperatureDefaults, BothDefaultsButtonsGiveTheExactFormBodies)
{
    for (const char* name : {"edtVoiceContext1", "edthighTempMapTargetMax", "cbdeviceStyle",
                             "edtvoiceContext", "cbisMaskFoceOpen"})
        empty(name);
    click("Button5");
    click("Button4");
    EXPECT_EQ(
        terminal.lastRequest().body,
        "pass=58104726&isTemperatureOpen=1&isVoiceOpen=1&voiceContext=%E4%BD%93%E6%B8%A9%E5%BC%82%E5%B8%B8%"
        "7Btemperature%7D%E5%BA%A6&errorTemperature=37%2E3&deviceStyle=3&temperatureErrorPass=2&"
        "temperatureMeasurePlace=1&temperatureMeasureMin=30&temperatureMeasureMax=43&"
        "temperatureCompensation=2&lowTempMapSourceMin=30&lowTempMapSourceMax=34&lowTempMapTargetMin=36&"
        "lowTempMapTargetMax=36%2E5&tempUnit=1&tempMapSwitch=2&highTempMapSourceMin=37%2E3&"
        "highTempMapSourceMax=40&highTempMapTargetMin=36%2E8&highTempMapTargetMax=37%2E3");
    click("Button6");
    terminal.then(TerminalReply::json(R"({"success":false})"));
    click("bsSkinButton1");
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /setMaskConfig HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().body,
              "pass=58104726&isMaskOpen=1&isVoiceOpen=1&voiceContext=%E8%AF%B7%E4%BD%"
              "A9%E6%88%B4%E5%8F%A3%E7%BD%A9&isMaskFoceOpen=2");
    EXPECT_EQ(logLines().mid(logLines().size() - 2),
              (QStringList{R"({"success":false})", terminal.host() + u("修改失败")}));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(RequiredFields, AnyOtherEmptyFieldStopsTheSetButtonBeforeSending)
{
    const std::pair<const char*, const char*> cases[] = {
        {"cbisTempertureOpen", "Button4"},
        {"cbisVoiceOpen1", "Button4"},
        {"edtVoiceContext1", "Button4"},
        {"edterrorTemperature", "Button4"},
        {"cbdeviceStyle", "Button4"},
        {"cbtemperatureErrorPass", "Button4"},
        {"cbtemperatureMeasurePlace", "Button4"},
        {"cbtemperatureCompensation", "Button4"},
        {"cbtempUnit", "Button4"},
        {"edtlowTempMapSourceMin", "Button4"},
        {"edtlowTempMapSourceMax", "Button4"},
        {"edtlowTempMapTargetMin", "Button4"},
        {"edtlowTempMapTargetMax", "Button4"},
        {"cbtempMapSwitch", "Button4"},
        {"edthighTempMapSourceMin", "Button4"},
        {"edthighTempMapSourceMax", "Button4"},
        {"edthighTempMapTargetMin", "Button4"},
        {"edthighTempMapTargetMax", "Button4"},
        {"cbisMaskOpen", "bsSkinButton1"},
        {"cbisVoiceOpen", "bsSkinButton1"},
        {"edtvoiceContext", "bsSkinButton1"},
        {"cbisMaskFoceOpen", "bsSkinButton1"},
    };
    for (const auto& [name, button] : cases) {
        click("Button5");
        click("Button6");
        empty(name);
        click(button);
        EXPECT_EQ(logLines().last(), u("请正确设置参数")) << name;
    }
    EXPECT_EQ(logLines().size(), qsizetype(std::size(cases)));
    EXPECT_EQ(terminal.requestCount(), 1);
    EXPECT_EQ(settingsText(), "");
}

TEST_F(TemperatureStored, SuccessStoresEveryKeyEvenWithoutMsgAndTheNextStartLoadsThem)
{
    field<QComboBox>("cbdeviceStyle")->setCurrentIndex(0);
    field<QLineEdit>("edtVoiceContext1")->setText(u("请复测"));
    field<QLineEdit>("edttemperatureMeasureMin")->clear();
    field<QLineEdit>("edthighTempMapSourceMax")->setText("41");
    terminal.then(TerminalReply::json(R"({"success":true})"));
    click("Button4");

    EXPECT_FALSE(terminal.lastRequest().body.contains("temperatureMeasureMin"));
    EXPECT_EQ(logLines(), (QStringList{"http://127.0.12.22:8090/setTemperatureConfig", R"({"success":true})",
                                       u("127.0.12.22操作失败")}));
    EXPECT_EQ(settingsText(), u("[Temperture]\r\n是否打开测温模式=1\r\n是否异常温度语音播报=1\r\n"
                                "异常温度语音播报内容=请复测\r\n异常温度判断值=37.3\r\n设备模式=1\r\n"
                                "体温异常通行开关=2\r\n测温位置=1\r\n温度单位=1\r\n有效温度=;43\r\n"
                                "低温映射开关=2\r\n低温映射源温度=30;34\r\n低温映射目标温度=36;36.5\r\n"
                                "高温映射开关=2\r\n高温映射源=37.3;41\r\n高温映射目标=36.8;37.3\r\n"));

    // A failing reply stores nothing.
    field<QLineEdit>("edterrorTemperature")->setText("38");
    terminal.then(TerminalReply::json(R"({"success":false,"msg":"no"})"));
    click("Button4");
    EXPECT_EQ(logLines().last(), u("127.0.12.22设置失败"));
    EXPECT_TRUE(settingsText().contains(u("异常温度判断值=37.3\r\n")));

    destroyWindow();
    TfrmMain next;
    next.setProgramFolder(folder.path());
    next.setErrorPresenter([this](const QString& text) { errors << text; });
    next.show();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(next.findChild<QComboBox*>("cbdeviceStyle")->currentIndex(), 0);
    EXPECT_EQ(next.findChild<QLineEdit*>("edtVoiceContext1")->text(), u("请复测"));
    EXPECT_EQ(next.findChild<QLineEdit*>("edttemperatureMeasureMin")->text(), "");
    EXPECT_EQ(next.findChild<QLineEdit*>("edttemperatureMeasureMax")->text(), "43");
    EXPECT_EQ(next.findChild<QLineEdit*>("edthighTempMapSourceMax")->text(), "41");
    EXPECT_EQ(next.findChild<QLineEdit*>("edterrorTemperature")->text(), "37.3");
}
