#include "common/Failure.h"
#include "common/TextCodec.h"
#include "device/CommandEnvelope.h"
#include "device/RecognitionConfig.h"
#include "support/FakeTerminal.h"

#include <gtest/gtest.h>

namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The group's fields as the window starts.
RecognitionFields defaults()
{
    return {.companyName = "",
            .identifyDistanceIndex = 0,
            .identifyScores = "80",
            .saveIdentifyTime = "0",
            .ttsModTypeItem = u("2: 播放名字"),
            .ttsModContent = "{name}",
            .comModTypeItem = u("1: 开门"),
            .comModContent = "#WG{idcardNum}#",
            .displayModTypeItem = u("1: 显示名字"),
            .displayModContent = "{name}",
            .slogan = "",
            .intro = "",
            .recStrangerTimesThresholdIndex = 2,
            .recStrangerTypeIndex = 0,
            .ttsModStrangerTypeItem = u("1: 不需要语音播报"),
            .ttsModStrangerContent = u("注意陌生人"),
            .multiplayerDetectionIndex = 0,
            .wgIndex = 0,
            .recRankIndex = 1,
            .delayTimeForCloseDoor = "500",
            .whiteListIndex = 0};
}

} // namespace

TEST(RecognitionConfig, DefaultFieldsGiveTheExampleTextSentAsUtf8)
{
    const QString expected = u(
        R"({"companyName":"","identifyDistance":"0","identifyScores":80,"saveIdentifyTime":0,"ttsModType":2,)"
        R"("ttsModContent":"{name}","comModType":1,"comModContent":"#WG{idcardNum}#","displayModType":1,)"
        R"("displayModContent":"{name}","slogan":"","intro":"","recStrangerTimesThreshold":3,"recStrangerType":1,)"
        R"("ttsModStrangerType":1,"ttsModStrangerContent":"注意陌生人","multiplayerDetection":1,)"
        R"("wg":"#WG{idcardNum}#","recRank":2,"delayTimeForCloseDoor":500,"whitelist":1})");
    EXPECT_EQ(RecognitionConfigText(defaults()), expected);

    FakeTerminal terminal(20, 8090, "127.0.10.");
    HttpClient client(kFormContentType);
    SetRecognitionConfig({terminal.host(), 8090}, "58104726", defaults(), client);
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /setConfig HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().body,
              "pass=58104726&config=" + encodeFormValue(TextCodec::toUtf8(expected)));
}

TEST(RecognitionConfig, ListsCountByPositionOrByTheirNumberAndTextsGoInAsTheyStand)
{
    RecognitionFields fields = defaults();
    fields.companyName = "A\"B";
    fields.identifyDistanceIndex = 6;
    fields.comModTypeItem = u("100: 自定义");
    fields.ttsModTypeItem = u("100: 自定义");
    fields.wgIndex = 3;
    fields.recStrangerTypeIndex = 1;
    fields.multiplayerDetectionIndex = 1;
    fields.recRankIndex = 2;
    fields.whiteListIndex = 1;
    const QString text = RecognitionConfigText(fields);
    for (const char* member :
         {R"({"companyName":"A"B",)", R"("identifyDistance":"6")", R"("ttsModType":100,)",
          R"("comModType":100,)", R"("wg":"#34WG{id}#")", R"("recStrangerType":2,)",
          R"("multiplayerDetection":2,)", R"("recRank":3,)", R"("whitelist":2})"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(member))) << member << "\n" << text.toStdString();
}

TEST(RecognitionConfig, NumberFieldsAreReadAsWholeNumbersBeforeAnythingIsSent)
{
    const std::pair<const char*, std::optional<int>> scores[] = {
        {"80", 80},
        {" 80", 80},
        {"-5", -5},
        {"$50", 80},
        {"0x1F", 31},
        {"8O", std::nullopt},
        {"80 ", std::nullopt},
        {"", std::nullopt},
        {"2147483648", std::nullopt},
    };
    for (const auto& [text, value] : scores) {
        RecognitionFields fields = defaults();
        fields.identifyScores = text;
        if (value) {
            EXPECT_TRUE(
                RecognitionConfigText(fields).contains(QStringLiteral("\"identifyScores\":%1,").arg(*value)))
                << text;
        } else {
            EXPECT_THROW(RecognitionConfigText(fields), Failure) << text;
        }
    }
    // The first text that does not convert is the one reported.
    RecognitionFields twoBad = defaults();
    twoBad.saveIdentifyTime = "x";
    twoBad.delayTimeForCloseDoor = "y";
    FakeTerminal terminal(21, 8090, "127.0.10.");
    HttpClient client(kFormContentType);
    try {
        SetRecognitionConfig({terminal.host(), 8090}, "1", twoBad, client);
        ADD_FAILURE();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.text(), "'x' is not a valid integer value");
    }
    EXPECT_EQ(terminal.requestCount(), 0);
}

TEST(RecognitionConfig, SetConfigAndIdentifyModelReportTheReplyData)
{
    FakeTerminal terminal(22, 8090, "127.0.10.");
    const DeviceConnection connection{terminal.host(), 8090};
    const QString host = terminal.host();
    const std::function<CommandLog(HttpClient&)> commands[] = {
        [&](HttpClient& client) { return SetRecognitionConfig(connection, "58104726", defaults(), client); },
        [&](HttpClient& client) { return SetIdentifyModel(connection, "58104726", client); },
    };
    for (const auto& command : commands) {
        terminal.then(TerminalReply::json(R"({"success":true,"data":"done"})"))
            .then(TerminalReply::json(R"({"success":false,"msg":"x"})"))
            .then(TerminalReply::json(R"({"data":"x"})"))
            .then(TerminalReply::json(R"({"success":true})"))
            .then(TerminalReply::status(500, "Internal Server Error"));
        HttpClient client(kFormContentType);
        EXPECT_EQ(command(client).lines, (QStringList{R"({"success":true,"data":"done"})", host + "done"}));
        EXPECT_EQ(command(client).lines.last(), host + u("设备设置失败"));
        EXPECT_EQ(command(client).lines.last(), host + u("设备设置异常"));
        EXPECT_EQ(command(client).lines, (QStringList{R"({"success":true})", u("操作失败")}));
        EXPECT_EQ(command(client).lines, QStringList{u("操作失败")});
    }
    const RecordedRequest model = terminal.lastRequest();
    EXPECT_EQ(model.requestLine, "POST /device/setIdentifyModel HTTP/1.0");
    EXPECT_EQ(
        model.body,
        "pass=58104726&config=" +
            encodeFormValue(
                R"({"recModeFaceEnable": 2,"repeatRegEnable": 1,"regInterval": 2000,"recModeCardEnable": 2,)"
                R"("recModeCardIntf": 2,"recModeCardHardware": 1,"recModeCardFaceEnable": 1,)"
                R"("recDoubleValue": 70,"recModeCardFaceIntf": 2,"recModeCardFaceHardware": 1,)"
                R"("recModeIdcardFaceEnable": 1,"recCardFaceValue": 30,"recModeIdcardFaceIntf": 3,)"
                R"("recModeIdcardFaceHardware": 2,"recModeDOBEnable": 1,"recModePasswordEnable": 2,)"
                R"("recModeQREnable": 2,"recDisplayImageMode": 1})"));
}

TEST(RecognitionConfig, QueryLogsTheReplyThenOkAndLeavesErrorsToTheErrorBox)
{
    FakeTerminal terminal(23, 8090, "127.0.10.");
    const DeviceConnection connection{terminal.host(), 8090};
    terminal.then(TerminalReply::json(R"({"success":true,"data":{"a":1}})"))
        .then(TerminalReply::json(R"({"success":false})"))
        .then(TerminalReply::json(R"({"data":1})"))
        .then(TerminalReply::status(404, "Not Found"));
    HttpClient client(kFormContentType);
    EXPECT_EQ(QueryRecognitionConfig(connection, "a#b c", client).lines,
              (QStringList{R"({"success":true,"data":{"a":1}})", "ok"}));
    EXPECT_EQ(terminal.lastRequest().requestLine, "GET /device/config?pass=a%23b%20c HTTP/1.1");
    EXPECT_EQ(QueryRecognitionConfig(connection, "", client).lines, QStringList{R"({"success":false})"});
    EXPECT_EQ(terminal.lastRequest().target, "/device/config?pass=");
    EXPECT_EQ(QueryRecognitionConfig(connection, "1", client).lines, QStringList{R"({"data":1})"});
    const CommandLog failed = QueryRecognitionConfig(connection, "1", client);
    EXPECT_TRUE(failed.lines.isEmpty());
    EXPECT_TRUE(failed.error);
}
