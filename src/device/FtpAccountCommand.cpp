#include "device/FtpAccountCommand.h"

#include "device/CommandEnvelope.h"
#include "device/QueryValue.h"

CommandLog SetFtpAccount(const DeviceConnection& connection, const FtpAccountFields& fields,
                         HttpClient& client)
{
    const QString path =
        QStringLiteral("setFTP?pass=%1&username=%2&password=%3")
            .arg(QueryValue(fields.password), QueryValue(fields.user), QueryValue(fields.ftpPassword));
    CommandLog log;
    ReportOutcome(log, connection.deviceHost,
                  [&] { return PostText(client, CommandUrl(connection, path), QString()); },
                  {.success = QStringLiteral("FTP设置成功"),
                   .failure = QStringLiteral("FTP设置失败[%s]"),
                   .abnormal = QStringLiteral("FTP设置异常")});
    return log;
}
