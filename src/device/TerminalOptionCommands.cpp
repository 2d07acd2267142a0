#include "device/TerminalOptionCommands.h"

#include "common/IntegerText.h"
#include "device/CommandEnvelope.h"

namespace {

// Outcome texts built from one subject: "<subject>成功", "<subject>失败[%s]", "<subject>异常".
OutcomeTexts textsFor(const QString& subject)
{
    return {.success = subject + QStringLiteral("成功"),
            .failure = subject + QStringLiteral("失败[%s]"),
            .abnormal = subject + QStringLiteral("异常")};
}

CommandLog postForm(const DeviceConnection& connection, const QString& path, const FormFields& form,
                    const OutcomeTexts& texts, HttpClient& client, const SuccessStep& onSuccess = {})
{
    CommandLog log;
    ReportOutcome(
        log, connection.deviceHost, [&] { return PostForm(client, CommandUrl(connection, path), form); },
        texts, onSuccess);
    return log;
}

CommandLog putJson(const DeviceConnection& connection, const QString& path, const QString& body,
                   const OutcomeTexts& texts, HttpClient& client)
{
    CommandLog log;
    ReportOutcome(
        log, connection.deviceHost, [&] { return PutText(client, CommandUrl(connection, path), body); },
        texts);
    return log;
}

FormFields passwordOnly(const QString& password)
{
    FormFields fields;
    fields.set("pass", password);
    return fields;
}

QString flag(bool checked)
{
    return checked ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

CommandLog SetTimeZone(const DeviceConnection& connection, const QString& password, const QString& zoneItem,
                       HttpClient& client)
{
    FormFields form = passwordOnly(password);
    form.set("timeZone", zoneItem.section(QLatin1Char(' '), 0, 0));
    return postForm(connection, QStringLiteral("device/setTimeZone"), form,
                    textsFor(QStringLiteral("设置时区")), client);
}

CommandLog SetLanguage(const DeviceConnection& connection, const QString& password,
                       const QString& languageItem, HttpClient& client)
{
    FormFields form = passwordOnly(password);
    form.set("languageType",
             languageItem == QStringLiteral("简体中文") ? QStringLiteral("zh_CN") : QStringLiteral("en"));
    return postForm(connection, QStringLiteral("device/setLanguage"), form,
                    textsFor(QStringLiteral("语言切换")), client);
}

CommandLog SetScreenOrientation(const DeviceConnection& connection, const OrientationFields& fields,
                                const RecordSettings& record, HttpClient& client)
{
    FormFields form = passwordOnly(fields.password);
    form.set("orientation", QString::number(fields.index + 1));
    return postForm(connection, QStringLiteral("setScreenOrt"), form,
                    textsFor(QStringLiteral("设置屏幕方向")), client, [&](const DeviceReply&) {
                        record({{QStringLiteral("orientation"), fields.caption}});
                    });
}

CommandLog ConfigureWidgets(const DeviceConnection& connection, const QString& password,
                            const WidgetFlags& flags, HttpClient& client)
{
    FormFields form = passwordOnly(password);
    form.set("showIp", flag(flags.showIp));
    form.set("showDeviceKey", flag(flags.showDeviceKey));
    form.set("showPeopleNum", flag(flags.showPeopleNum));
    return postForm(connection, QStringLiteral("widgetConfig"), form,
                    textsFor(QStringLiteral("修改隐藏功能")), client);
}

CommandLog SetDisabled(const DeviceConnection& connection, const QString& password, bool disable,
                       HttpClient& client)
{
    const QString body = QStringLiteral(R"({"pass":"%1","isDisable":%2})")
                             .arg(password, disable ? QStringLiteral("true") : QStringLiteral("false"));
    return putJson(connection, QStringLiteral("device/disable"), body,
                   textsFor(QStringLiteral("禁用/启用设置")), client);
}

CommandLog SetScreenSaverTime(const DeviceConnection& connection, const QString& password,
                              const QString& delay, HttpClient& client)
{
    const int seconds = ReadInteger(delay);
    const QString body = QStringLiteral(R"({"pass":"%1","time":%2})").arg(password, QString::number(seconds));
    return putJson(connection, QStringLiteral("device/screenSaverTime"), body,
                   textsFor(QStringLiteral("屏保待机时间设置")), client);
}

CommandLog OpenDoor(const DeviceConnection& connection, const QString& password, int typeIndex,
                    HttpClient& client)
{
    constexpr int kCustomType = 3;
    FormFields form = passwordOnly(password);
    form.set("type", QString::number(typeIndex + 1));
    if (typeIndex == kCustomType)
        form.set("content",
                 QStringLiteral(R"({"ttsModContent":"自定义语音","displayModeContent":"自定义文字"})"));
    return postForm(connection, QStringLiteral("device/openDoorControl"), form,
                    textsFor(QStringLiteral("远程开门")), client);
}
