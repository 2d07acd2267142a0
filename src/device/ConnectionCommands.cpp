#include "device/ConnectionCommands.h"

#include "device/CommandEnvelope.h"

LinkResult ConnectOrDisconnect(const LinkFields& fields, HttpClient& client)
{
    LinkResult result{{}, fields.caption, fields.connection};
    if (fields.caption != kConnectCaption) {
        result.caption = kConnectCaption;
        return result;
    }
    if (fields.ip.isEmpty())
        return result;

    client.setTimeoutMs(kProbeTimeoutMs);
    try {
        const QString url = QStringLiteral("http://") + fields.ip + ':' + QString::number(kDevicePort) +
                            QStringLiteral("/getDeviceKey");
        const DeviceReply reply = ParseReply(DecodeReply(PostForm(client, url, FormFields())));
        if (reply.hasSuccess()) {
            if (reply.success()) {
                // The key itself is not kept, but a success without one fails the probe.
                reply.text("data");
                result.connection = {fields.ip, kDevicePort};
                result.caption = kDisconnectCaption;
                result.log.lines << QStringLiteral("连接成功");
            } else {
                result.log.lines << QStringLiteral("连接失败");
            }
        }
    } catch (const std::exception&) {
        result.log.lines << QStringLiteral("连接出错");
    }
    client.setTimeoutMs(kCommandTimeoutMs);
    return result;
}

SerialNumberResult ReadSerialNumber(const DeviceConnection& connection, HttpClient& client)
{
    SerialNumberResult result;
    const ReportedOutcome reported = ReportOutcome(
        result.log, connection.deviceHost,
        [&] {
            return PostForm(client, CommandUrl(connection, QStringLiteral("getDeviceKey")), FormFields());
        },
        {.success = QStringLiteral("序列号:%s"),
         .successMember = "data",
         .failure = QStringLiteral("获取序列号失败"),
         .abnormal = QStringLiteral("获取序列号异常")});
    if (reported.outcome == Outcome::Success)
        result.serialNo = reported.successValue;
    return result;
}

CommandLog ChangePassword(const DeviceConnection& connection, const QString& oldPassword,
                          const QString& newPassword, HttpClient& client)
{
    FormFields fields;
    fields.set("oldPass", oldPassword);
    fields.set("newPass", newPassword);
    CommandLog log;
    ReportOutcome(
        log, connection.deviceHost,
        [&] { return PostForm(client, CommandUrl(connection, QStringLiteral("setPassWord")), fields); },
        {.success = QStringLiteral("修改密码成功"),
         .failure = QStringLiteral("修改密码失败[%s]"),
         .abnormal = QStringLiteral("修改密码异常")});
    return log;
}
