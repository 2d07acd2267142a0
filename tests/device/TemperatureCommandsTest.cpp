#include "common/Failure.h"
#include "device/CommandEnvelope.h"
#include "device/TemperatureCommands.h"
#include "support/FakeTerminal.h"

#include <gtest/gtest.h>

namespace {

TemperatureFields filledTemperature()
{
    return {"1",  "1",  "v",  "37.3", "3", "2", "1",    "30", "43",   "2",
            "30", "34", "36", "36.5", "1", "2", "37.3", "40", "36.8", "37.3"};
}

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

DeviceConnection at(const FakeTerminal& terminal)
{
    return {terminal.host(), terminal.port()};
}

} // namespace

// Every field's part in the checks is covered through the window; here what
// the checks let through.
TEST(TemperatureCommands, ChecksTestOnlyForEmptinessAndLeaveTheValidRangeOpen)
{
    TemperatureFields fields = filledTemperature();
    fields.temperatureMeasureMin.clear();
    fields.temperatureMeasureMax.clear();
    fields.lowTempMapSourceMin = "abc";
    fields.highTempMapTargetMin = "99";
    EXPECT_TRUE(TemperatureParamsFilled(fields));
    fields.highTempMapTargetMax.clear();
    EXPECT_FALSE(TemperatureParamsFilled(fields));

    EXPECT_TRUE(MaskParamsFilled({"2", "2", " ", "1"}));
    EXPECT_FALSE(MaskParamsFilled({"1", "", "v", "2"}));
}

TEST(TemperatureCommands, FormCarriesThePasswordInGbkAndTheVoiceTextInUtf8)
{
    FakeTerminal terminal(1, 8090, "127.0.12.");
    HttpClient client(kFormContentType);
    TemperatureFields fields = filledTemperature();
    fields.voiceContext = u("开 {t}");
    fields.temperatureMeasureMax.clear();
    SendTemperatureConfig(at(terminal), u("开 1"), fields, client, [] {});
    RecordedRequest request = terminal.lastRequest();
    EXPECT_EQ(request.requestLine, "POST /setTemperatureConfig HTTP/1.0");
    EXPECT_EQ(request.body,
              "pass=%BF%AA+1&isTemperatureOpen=1&isVoiceOpen=1&voiceContext=%E5%BC%80+%7Bt%7D&"
              "errorTemperature=37%2E3&deviceStyle=3&temperatureErrorPass=2&"
              "temperatureMeasurePlace=1&temperatureMeasureMin=30&temperatureCompensation=2&"
              "lowTempMapSourceMin=30&lowTempMapSourceMax=34&lowTempMapTargetMin=36&"
              "lowTempMapTargetMax=36%2E5&tempUnit=1&tempMapSwitch=2&highTempMapSourceMin=37%2E3&"
              "highTempMapSourceMax=40&highTempMapTargetMin=36%2E8&highTempMapTargetMax=37%2E3");

    SendMaskConfig(at(terminal), "", {"2", "1", u("开 {t}"), "1"}, client);
    request = terminal.lastRequest();
    EXPECT_EQ(request.requestLine, "POST /setMaskConfig HTTP/1.0");
    EXPECT_EQ(request.body, "isMaskOpen=2&isVoiceOpen=1&voiceContext=%E5%BC%80+%7Bt%7D&isMaskFoceOpen=1");
}

TEST(TemperatureCommands, TemperatureOutcomesAndWhenTheSettingsAreStored)
{
    FakeTerminal terminal(2, 8090, "127.0.12.");
    const QString host = terminal.host();
    const QString url = "http://127.0.12.2:8090/setTemperatureConfig";
    struct Case
    {
        TerminalReply reply;
        bool storeFails;
        QStringList lines;
        bool stored;
    };
    const Case cases[] = {
        {TerminalReply::json(u(R"({"success":true,"msg":"设置成功"})")),
         false,
         {url, u(R"({"success":true,"msg":"设置成功"})"), host + u("设置成功")},
         true},
        // The settings go in before the line that then lacks its "msg".
        {TerminalReply::json(R"({"success":true})"),
         false,
         {url, R"({"success":true})", host + u("操作失败")},
         true},
        {TerminalReply::json(R"({"success":true,"msg":"ok"})"),
         true,
         {url, R"({"success":true,"msg":"ok"})", host + u("操作失败")},
         true},
        {TerminalReply::json(R"({"success":false,"msg":"no"})"),
         false,
         {url, R"({"success":false,"msg":"no"})", host + u("设置失败")},
         false},
        {TerminalReply::json(R"({"msg":"x"})"), false, {url, R"({"msg":"x"})", host + u("设置异常")}, false},
        {TerminalReply::status(500, "Internal Server Error", R"({"success":true,"msg":"ok"})"),
         false,
         {url, host + u("操作失败")},
         false},
        {TerminalReply::json("oops"), false, {url, "oops", host + u("操作失败")}, false},
    };
    for (const Case& c : cases) {
        terminal.then(c.reply);
        HttpClient client(kFormContentType);
        bool stored = false;
        const CommandLog log = SendTemperatureConfig(at(terminal), "1", filledTemperature(), client, [&] {
            stored = true;
            if (c.storeFails)
                throw Failure("Unable to write to x");
        });
        EXPECT_EQ(log.lines, c.lines);
        EXPECT_EQ(stored, c.stored) << c.lines.last().toStdString();
        EXPECT_FALSE(log.error);
    }
}

TEST(TemperatureCommands, BeforeAnyConnectionTheUrlHasNoHostAndTheErrorLineStandsAlone)
{
    HttpClient client(kFormContentType);
    const CommandLog log = SendTemperatureConfig({}, "1", filledTemperature(), client, [] {});
    EXPECT_EQ(log.lines, (QStringList{"http://:0/setTemperatureConfig", u("操作失败")}));
}

TEST(TemperatureCommands, MaskOutcomes)
{
    FakeTerminal terminal(3, 8090, "127.0.12.");
    const QString host = terminal.host();
    const std::pair<TerminalReply, QStringList> cases[] = {
        {TerminalReply::json(u(R"({"success":true,"msg":"修改成功"})")),
         {u(R"({"success":true,"msg":"修改成功"})"), host + u("修改成功")}},
        {TerminalReply::json(R"({"success":true})"), {R"({"success":true})", host + u("操作失败")}},
        {TerminalReply::json(R"({"success":0,"msg":"no"})"),
         {R"({"success":0,"msg":"no"})", host + u("修改失败")}},
        {TerminalReply::json(R"([1])"), {"[1]", host + u("修改异常")}},
        {TerminalReply::hangUp(), {host + u("操作失败")}},
    };
    for (const auto& [reply, lines] : cases) {
        terminal.then(reply);
        HttpClient client(kFormContentType);
        const CommandLog log = SendMaskConfig(at(terminal), "1", {"1", "1", "v", "2"}, client);
        EXPECT_EQ(log.lines, lines);
    }
}
