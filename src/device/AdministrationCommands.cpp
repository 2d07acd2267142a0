#include "device/AdministrationCommands.h"

#include "common/UnixTime.h"
#include "device/CommandEnvelope.h"

namespace {

FormFields passwordOnly(const QString& password)
{
    FormFields fields;
    fields.set("pass", password);
    return fields;
}

// The reply is logged as it came and not read any further.
void logRawReply(CommandLog& log, const DeviceConnection& connection, const QString& path,
                 const FormFields& fields, HttpClient& client)
{
    log.lines << DecodeReply(PostForm(client, CommandUrl(connection, path), fields));
}

} // namespace

NetworkResult SetNetworkInfo(const DeviceConnection& connection, const NetworkFields& fields,
                             const RecordSettings& record, HttpClient& client)
{
    FormFields form = passwordOnly(fields.password);
    form.set("isDHCPMod", QString::number(fields.dhcpIndex + 1));
    form.set("ip", fields.ip);
    form.set("gateway", fields.gateway);
    form.set("subnetMask", fields.subnetMask);
    form.set("DNS", fields.dns);

    NetworkResult result{{}, connection};
    ReportOutcome(
        result.log, result.connection.deviceHost,
        [&] { return PostForm(client, CommandUrl(connection, QStringLiteral("setNetInfo")), form); },
        {.success = QStringLiteral("%s"),
         .successMember = "msg",
         .failure = QStringLiteral("有线网络设置失败"),
         .abnormal = QStringLiteral("有线网络设置异常")},
        [&](const DeviceReply&) {
            result.connection.deviceHost = fields.ip;
            record({{QStringLiteral("IP"), fields.ip},
                    {QStringLiteral("geteway"), fields.gateway},
                    {QStringLiteral("SubnetMask"), fields.subnetMask},
                    {QStringLiteral("DSN"), fields.dns},
                    {QStringLiteral("DHCPMod"), fields.dhcpCaption}});
        });
    return result;
}

CommandLog SetClock(const DeviceConnection& connection, const QString& password, const QDateTime& clickedAt,
                    HttpClient& client)
{
    FormFields form = passwordOnly(password);
    form.set("timestamp", LocalToUnixSeconds(clickedAt) + QStringLiteral("000"));
    CommandLog log;
    ReportOutcome(log, connection.deviceHost,
                  [&] { return PostForm(client, CommandUrl(connection, QStringLiteral("setTime")), form); },
                  {.success = QStringLiteral("时间%s"),
                   .successMember = "msg",
                   .failure = QStringLiteral("时间设置失败"),
                   .abnormal = QStringLiteral("时间设置异常")});
    return log;
}

CommandLog RestartDevice(const DeviceConnection& connection, const QString& password, HttpClient& client)
{
    CommandLog log;
    try {
        logRawReply(log, connection, QStringLiteral("restartDevice"), passwordOnly(password), client);
    } catch (const std::exception&) {
        log.lines << QStringLiteral("操作失败");
    }
    return log;
}

CommandLog ResetDevice(const DeviceConnection& connection, const QString& password, HttpClient& client)
{
    FormFields form = passwordOnly(password);
    form.set("delete", QStringLiteral("false"));
    CommandLog log;
    try {
        logRawReply(log, connection, QStringLiteral("device/reset"), form, client);
    } catch (const std::exception& error) {
        log.error = QString::fromUtf8(error.what());
    }
    return log;
}
