#include "common/Failure.h"
#include "device/AddressRegistration.h"
#include "device/CommandEnvelope.h"
#include "support/FakeTerminal.h"

#include <gtest/gtest.h>

namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

struct AddressCase
{
    const AddressCommand& command;
    AddressFields fields;
    QByteArray requestLine;
    QByteArray body;
    QByteArray clearingBody;
    const char* failure;
    const char* abnormal;
    const char* key;
};

} // namespace

TEST(AddressRegistration, EachAddressCommandSetsClearsRecordsAndReports)
{
    FakeTerminal terminal(30, 8090, "127.0.10.");
    const DeviceConnection connection{terminal.host(), 8090};
    const QString host = terminal.host();
    const QString address = "http://127.0.10.99:8090/x";
    const QByteArray encoded = "http%3A%2F%2F127%2E0%2E10%2E99%3A8090%2Fx";
    const AddressCase cases[] = {
        {kIdentifyCallbackAddress,
         {"1 2", address, {{"base64Enable", Base64EnableValue(false)}}},
         "POST /setIdentifyCallBack HTTP/1.0",
         "pass=1+2&callbackUrl=" + encoded + "&base64Enable=1",
         "pass=1+2&callbackUrl=",
         "识别回调url失败",
         "识别回调url异常",
         "callback"},
        {kHeartbeatAddress,
         {"1 2", address, {}},
         "POST /setDeviceHeartBeat HTTP/1.0",
         "pass=1+2&url=" + encoded,
         "pass=1+2&url=",
         "设备心跳url失败",
         "设备心跳url异常",
         "heartbeat"},
        {kImageRegistrationAddress,
         {"", address, {{"base64Enable", Base64EnableValue(true)}}},
         "POST /setImgRegCallBack HTTP/1.0",
         "url=" + encoded + "&base64Enable=2",
         "pass=&url=",
         "拍照注册url失败",
         "拍照注册url异常",
         "imgregcallback"},
        {kQrCodeCallbackAddress,
         {"1 2", address, {}},
         "POST /device/setQRCodeCallback HTTP/1.0",
         "pass=1+2&url=" + encoded,
         "pass=1+2&url=",
         "识别回调url失败",
         "识别回调url异常",
         "codecallback"},
        {kTaskInterfaceAddress,
         {"1 2", address, {}},
         "POST /setTaskInterfaceAddress HTTP/1.0",
         "pass=1+2&url=" + encoded,
         "pass=1+2&url=",
         "任务获取地址设置失败",
         "任务获取地址设置异常",
         "TaskInterfaceAddress"},
        {kTaskResultsAddress,
         {"1 2", address, {}},
         "POST /setTaskProcessingResultsAddress HTTP/1.0",
         "pass=1+2&url=" + encoded,
         "pass=1+2&url=",
         "任务处理结果上报地址设置失败",
         "任务处理结果上报地址设置异常",
         "TaskProcessingResultsAddress"},
        {kOnlineServiceAddress,
         {"1 2", address, {{"interval", "5"}, {"base64Enable", "2"}}},
         "POST /setServerAddress HTTP/1.0",
         "pass=1+2&serverurl=" + encoded + "&interval=5&base64Enable=2",
         "pass=1+2&serverurl=",
         "联机服务url失败",
         "联机服务url异常",
         "serverurl"},
    };
    for (const AddressCase& c : cases) {
        const char* name = c.key;
        terminal.then(TerminalReply::json(R"({"success":true,"data":"ok"})"))
            .then(TerminalReply::json(R"({"success":true,"data":"cleared"})"))
            .then(TerminalReply::json(R"({"success":false,"msg":"x"})"))
            .then(TerminalReply::json(R"({"result":1})"))
            .then(TerminalReply::json(R"({"success":true})"))
            .then(TerminalReply::status(500, "Internal Server Error"));
        SettingValues recorded;
        const RecordSettings record = [&](const SettingValues& values) {
            recorded.insert(recorded.end(), values.begin(), values.end());
        };
        HttpClient client(kFormContentType);
        HttpClient clearing("text/html");
        EXPECT_EQ(RegisterAddress(connection, c.command, c.fields, record, client, clearing).lines,
                  (QStringList{R"({"success":true,"data":"ok"})", host + "ok"}))
            << name;
        EXPECT_EQ(terminal.lastRequest().requestLine, c.requestLine) << name;
        EXPECT_EQ(terminal.lastRequest().body, c.body) << name;

        // Clearing goes through the other client: this one is cancelled and would fail.
        client.cancel();
        AddressFields cleared = c.fields;
        cleared.address.clear();
        EXPECT_EQ(RegisterAddress(connection, c.command, cleared, record, client, clearing).lines.last(),
                  host + "cleared")
            << name;
        EXPECT_EQ(terminal.lastRequest().body, c.clearingBody) << name;
        EXPECT_EQ(terminal.lastRequest().header("Content-Type"), kFormContentType) << name;
        client.rearm();

        EXPECT_EQ(RegisterAddress(connection, c.command, c.fields, record, client, clearing).lines.last(),
                  host + u(c.failure))
            << name;
        EXPECT_EQ(RegisterAddress(connection, c.command, c.fields, record, client, clearing).lines.last(),
                  host + u(c.abnormal))
            << name;
        // A success without "data" has recorded the key before it fails.
        EXPECT_EQ(RegisterAddress(connection, c.command, c.fields, record, client, clearing).lines,
                  (QStringList{R"({"success":true})", u("操作失败")}))
            << name;
        EXPECT_EQ(RegisterAddress(connection, c.command, c.fields, record, client, clearing).lines,
                  QStringList{u("操作失败")})
            << name;
        EXPECT_EQ(recorded, (SettingValues{{c.key, address}, {c.key, ""}, {c.key, address}})) << name;
    }
}

TEST(AddressRegistration, UnwritableSettingsOrNoConnectionEndOnTheExceptionLine)
{
    FakeTerminal terminal(31, 8090, "127.0.10.");
    HttpClient client(kFormContentType);
    HttpClient clearing("text/html");
    const auto failingWrite = [](const SettingValues&) { throw Failure("Unable to write to x"); };
    const AddressFields fields{"1", "http://a", {}};
    EXPECT_EQ(
        RegisterAddress({terminal.host(), 8090}, kHeartbeatAddress, fields, failingWrite, client, clearing)
            .lines,
        (QStringList{R"({"success":true,"data":"ABC123"})", u("操作失败")}));
    bool recorded = false;
    EXPECT_EQ(
        RegisterAddress(
            {}, kHeartbeatAddress, fields, [&](const SettingValues&) { recorded = true; }, client, clearing)
            .lines,
        QStringList{u("操作失败")});
    EXPECT_FALSE(recorded);
}

TEST(AddressRegistration, CallbackQueryShowsTheRegisteredAddress)
{
    FakeTerminal terminal(32, 8090, "127.0.10.");
    const DeviceConnection connection{terminal.host(), 8090};
    const QString host = terminal.host();
    terminal.then(TerminalReply::json(R"({"success":true,"data":"http://a/b"})"))
        .then(TerminalReply::json(R"({"success":false,"msg":"x"})"))
        .then(TerminalReply::json(R"({"data":"x"})"))
        .then(TerminalReply::hangUp());
    HttpClient client(kFormContentType);
    EXPECT_EQ(QueryCallbackAddress(connection, "p&q", client).lines,
              (QStringList{R"({"success":true,"data":"http://a/b"})", host + "callback:http://a/b"}));
    EXPECT_EQ(terminal.lastRequest().requestLine, "GET /device/callback?pass=p%26q HTTP/1.1");
    EXPECT_EQ(QueryCallbackAddress(connection, "1", client).lines.last(), host + u("获取callback失败"));
    EXPECT_EQ(QueryCallbackAddress(connection, "1", client).lines.last(), host + u("获取callback异常"));
    EXPECT_EQ(QueryCallbackAddress(connection, "1", client).lines, QStringList{u("操作失败")});
}
