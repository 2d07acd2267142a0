#include "device/CommandEnvelope.h"
#include "device/FirmwareUpgrade.h"
#include "support/FakeTerminal.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray bodyOf(const QString& password, const QByteArray& firmware)
{
    QByteArray bytes = firmware;
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    return FirmwareFormBody(password, device);
}

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class FirmwareUpload : public ::testing::Test
{
protected:
    QString firmwareFile(const QByteArray& bytes) { return writeTestFile(folder.filePath("screen.bin"), bytes); }

    QTemporaryDir folder;
};

} // namespace

TEST(FirmwareForm, HexDigitsGoStraightIntoTheBodyBehindThePassword)
{
    const QByteArray bytes("\x00\x0A\xFF", 3);
    const std::tuple<QString, QByteArray, QByteArray> cases[] = {
        {"58104726", bytes, "pass=58104726&binData=000AFF"},
        {"", bytes, "binData=000AFF"},
        {"58104726", {}, "pass=58104726"},
        {"", {}, ""},
        {u("开 1."), QByteArray("\x7F\x80", 2), "pass=%BF%AA+1%2E&binData=7F80"},
    };
    for (const auto& [password, firmware, body] : cases)
        EXPECT_EQ(bodyOf(password, firmware), body) << body.toStdString();
}

TEST(FirmwareForm, EveryByteValueAndChunkBoundariesMatchAPlainHexEncoding)
{
    QByteArray firmware;
    for (int byte = 0; byte < 256; ++byte)
        firmware += char(byte);
    std::mt19937 random(9);
    while (firmware.size() < 700 * 1024 + 3)
        firmware += char(random());
    EXPECT_EQ(bodyOf("1", firmware), "pass=1&binData=" + firmware.toHex().toUpper());
}

TEST_F(FirmwareUpload, OutcomesAndTheTimeOutLeftAfterwards)
{
    FakeTerminal terminal(10, 8090, "127.0.12.");
    const QString host = terminal.host();
    const QString path = firmwareFile(QByteArray("\x00\x0A\xFF", 3));
    const std::pair<TerminalReply, QStringList> cases[] = {
        {TerminalReply::json(u(R"({"success":true,"msg":"升级成功"})")),
         {u(R"({"success":true,"msg":"升级成功"})"), host + u("升级成功")}},
        {TerminalReply::json(R"({"success":false})"),
         {R"({"success":false})", host + u("串口屏固件升级失败")}},
        {TerminalReply::json(R"({"result":1})"), {R"({"result":1})", host + u("串口屏固件升级异常")}},
        {TerminalReply::json(R"({"success":true})"), {R"({"success":true})", u("操作失败")}},
        {TerminalReply::status(404, "Not Found"), {u("操作失败")}},
    };
    for (const auto& [reply, lines] : cases) {
        terminal.then(reply);
        HttpClient client(kFormContentType);
        const CommandLog log = UploadFirmware({host, terminal.port()}, "58104726", path, client);
        EXPECT_EQ(log.lines, lines);
        EXPECT_FALSE(log.error);
        EXPECT_EQ(client.timeoutMs(), 5000);
        const RecordedRequest request = terminal.lastRequest();
        EXPECT_EQ(request.requestLine, "POST /bootOnline HTTP/1.0");
        EXPECT_EQ(request.body, "pass=58104726&binData=000AFF");
    }
}

TEST_F(FirmwareUpload, TerminalMayTakeLongerThanTheCommandTimeOutWhileItTakesTheFirmware)
{
    FakeTerminal terminal(11, 8090, "127.0.12.");
    terminal.then(
        TerminalReply::json(R"({"success":true,"msg":"ok"})").after(std::chrono::milliseconds(600)));
    HttpClient client(kFormContentType);
    client.setTimeoutMs(200);
    const CommandLog log =
        UploadFirmware({terminal.host(), terminal.port()}, "1", firmwareFile("firmware"), client);
    EXPECT_EQ(log.lines.last(), terminal.host() + "ok");
    EXPECT_EQ(client.timeoutMs(), 5000);
}

TEST_F(FirmwareUpload, UnreadableFileSendsNothingAndLeavesTheTimeOut)
{
    FakeTerminal terminal(12, 8090, "127.0.12.");
    HttpClient client(kFormContentType);
    client.setTimeoutMs(2000);
    const CommandLog log =
        UploadFirmware({terminal.host(), terminal.port()}, "1", folder.filePath("missing.bin"), client);
    EXPECT_TRUE(log.lines.isEmpty());
    ASSERT_TRUE(log.error);
    EXPECT_TRUE(log.error->startsWith("Cannot open file \"" + folder.filePath("missing.bin") + "\"."))
        << log.error->toStdString();
    EXPECT_EQ(client.timeoutMs(), 2000);
    EXPECT_EQ(terminal.requestCount(), 0);
}
