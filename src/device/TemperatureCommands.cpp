#include "device/TemperatureCommands.h"

#include "device/CommandEnvelope.h"

#include <algorithm>
#include <initializer_list>

namespace {

bool allFilled(std::initializer_list<const QString*> values)
{
    return std::none_of(values.begin(), values.end(), [](const QString* value) { return value->isEmpty(); });
}

} // namespace

bool TemperatureParamsFilled(const TemperatureFields& f)
{
    return allFilled({&f.isTemperatureOpen, &f.isVoiceOpen, &f.voiceContext, &f.errorTemperature,
                      &f.deviceStyle, &f.temperatureErrorPass, &f.temperatureMeasurePlace,
                      &f.temperatureCompensation, &f.tempUnit, &f.lowTempMapSourceMin, &f.lowTempMapSourceMax,
                      &f.lowTempMapTargetMin, &f.lowTempMapTargetMax, &f.tempMapSwitch,
                      &f.highTempMapSourceMin, &f.highTempMapSourceMax, &f.highTempMapTargetMin,
                      &f.highTempMapTargetMax});
}

bool MaskParamsFilled(const MaskFields& f)
{
    return allFilled({&f.isMaskOpen, &f.isVoiceOpen, &f.voiceContext, &f.isMaskFoceOpen});
}

CommandLog SendTemperatureConfig(const DeviceConnection& connection, const QString& password,
                                 const TemperatureFields& f, HttpClient& client,
                                 const std::function<void()>& storeSettings)
{
    FormFields form;
    form.set("pass", password);
    form.set("isTemperatureOpen", f.isTemperatureOpen);
    form.set("isVoiceOpen", f.isVoiceOpen);
    form.setBytes("voiceContext", f.voiceContext.toUtf8());
    form.set("errorTemperature", f.errorTemperature);
    form.set("deviceStyle", f.deviceStyle);
    form.set("temperatureErrorPass", f.temperatureErrorPass);
    form.set("temperatureMeasurePlace", f.temperatureMeasurePlace);
    form.set("temperatureMeasureMin", f.temperatureMeasureMin);
    form.set("temperatureMeasureMax", f.temperatureMeasureMax);
    form.set("temperatureCompensation", f.temperatureCompensation);
    form.set("lowTempMapSourceMin", f.lowTempMapSourceMin);
    form.set("lowTempMapSourceMax", f.lowTempMapSourceMax);
    form.set("lowTempMapTargetMin", f.lowTempMapTargetMin);
    form.set("lowTempMapTargetMax", f.lowTempMapTargetMax);
    form.set("tempUnit", f.tempUnit);
    form.set("tempMapSwitch", f.tempMapSwitch);
    form.set("highTempMapSourceMin", f.highTempMapSourceMin);
    form.set("highTempMapSourceMax", f.highTempMapSourceMax);
    form.set("highTempMapTargetMin", f.highTempMapTargetMin);
    form.set("highTempMapTargetMax", f.highTempMapTargetMax);

    const QString& host = connection.deviceHost;
    const QString url = CommandUrl(connection, QStringLiteral("setTemperatureConfig"));
    CommandLog log;
    log.lines << url;
    try {
        const QString text = DecodeReply(PostForm(client, url, form));
        log.lines << text;
        const DeviceReply reply = ParseReply(text);
        if (!reply.hasSuccess()) {
            log.lines << host + QStringLiteral("设置异常");
        } else if (reply.success()) {
            storeSettings();
            log.lines << host + reply.text("msg");
        } else {
            log.lines << host + QStringLiteral("设置失败");
        }
    } catch (const std::exception&) {
        log.lines << host + QStringLiteral("操作失败");
    }
    return log;
}

CommandLog SendMaskConfig(const DeviceConnection& connection, const QString& password, const MaskFields& f,
                          HttpClient& client)
{
    FormFields form;
    form.set("pass", password);
    form.set("isMaskOpen", f.isMaskOpen);
    form.set("isVoiceOpen", f.isVoiceOpen);
    form.setBytes("voiceContext", f.voiceContext.toUtf8());
    form.set("isMaskFoceOpen", f.isMaskFoceOpen);

    CommandLog log;
    ReportOutcome(
        log, connection.deviceHost,
        [&] { return PostForm(client, CommandUrl(connection, QStringLiteral("setMaskConfig")), form); },
        {.success = QStringLiteral("%s"),
         .successMember = "msg",
         .failure = QStringLiteral("修改失败"),
         .abnormal = QStringLiteral("修改异常"),
         .exception = connection.deviceHost + QStringLiteral("操作失败")});
    return log;
}
