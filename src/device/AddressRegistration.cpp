#include "device/AddressRegistration.h"

#include "common/TextCodec.h"
#include "device/CommandEnvelope.h"
#include "device/QueryValue.h"

const AddressCommand kIdentifyCallbackAddress{QStringLiteral("setIdentifyCallBack"), "callbackUrl",
                                              QStringLiteral("callback"), QStringLiteral("识别回调url失败"),
                                              QStringLiteral("识别回调url异常")};
const AddressCommand kHeartbeatAddress{QStringLiteral("setDeviceHeartBeat"), "url",
                                       QStringLiteral("heartbeat"), QStringLiteral("设备心跳url失败"),
                                       QStringLiteral("设备心跳url异常")};
const AddressCommand kImageRegistrationAddress{
    QStringLiteral("setImgRegCallBack"), "url", QStringLiteral("imgregcallback"),
    QStringLiteral("拍照注册url失败"), QStringLiteral("拍照注册url异常")};
// The terminal's QR code callback reports with the recognition callback's texts.
const AddressCommand kQrCodeCallbackAddress{QStringLiteral("device/setQRCodeCallback"), "url",
                                            QStringLiteral("codecallback"), QStringLiteral("识别回调url失败"),
                                            QStringLiteral("识别回调url异常")};
const AddressCommand kTaskInterfaceAddress{
    QStringLiteral("setTaskInterfaceAddress"), "url", QStringLiteral("TaskInterfaceAddress"),
    QStringLiteral("任务获取地址设置失败"), QStringLiteral("任务获取地址设置异常")};
const AddressCommand kTaskResultsAddress{
    QStringLiteral("setTaskProcessingResultsAddress"), "url", QStringLiteral("TaskProcessingResultsAddress"),
    QStringLiteral("任务处理结果上报地址设置失败"), QStringLiteral("任务处理结果上报地址设置异常")};
const AddressCommand kOnlineServiceAddress{QStringLiteral("setServerAddress"), "serverurl",
                                           QStringLiteral("serverurl"), QStringLiteral("联机服务url失败"),
                                           QStringLiteral("联机服务url异常")};

QString Base64EnableValue(bool ticked)
{
    return ticked ? QStringLiteral("2") : QStringLiteral("1");
}

CommandLog RegisterAddress(const DeviceConnection& connection, const AddressCommand& command,
                           const AddressFields& fields, const RecordSettings& record, HttpClient& client,
                           HttpClient& clearingClient)
{
    const QString url = CommandUrl(connection, command.path);
    const auto send = [&] {
        if (fields.address.isEmpty()) {
            const QByteArray body = "pass=" + encodeFormValue(TextCodec::toGbk(fields.password)) + '&' +
                                    command.addressName + '=';
            return PostEncodedForm(clearingClient, url, body);
        }
        FormFields form;
        form.set("pass", fields.password);
        form.set(command.addressName, fields.address);
        for (const auto& [name, value] : fields.further)
            form.set(name, value);
        return PostForm(client, url, form);
    };
    CommandLog log;
    ReportOutcome(log, connection.deviceHost, send,
                  {.success = QStringLiteral("%s"),
                   .successMember = "data",
                   .failure = command.failure,
                   .abnormal = command.abnormal},
                  [&](const DeviceReply&) {
                      record({{command.key, fields.address}});
                  });
    return log;
}

CommandLog QueryCallbackAddress(const DeviceConnection& connection, const QString& password,
                                HttpClient& client)
{
    const QString url =
        CommandUrl(connection, QStringLiteral("device/callback?pass=") + QueryValue(password));
    CommandLog log;
    ReportOutcome(log, connection.deviceHost, [&] { return GetText(client, url); },
                  {.success = QStringLiteral("callback:%s"),
                   .successMember = "data",
                   .failure = QStringLiteral("获取callback失败"),
                   .abnormal = QStringLiteral("获取callback异常")});
    return log;
}
