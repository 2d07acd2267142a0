#include "device/RecognitionConfig.h"

#include "common/IntegerText.h"
#include "common/TextCodec.h"
#include "device/CommandEnvelope.h"
#include "device/QueryValue.h"

#include <QStringList>

namespace {

const char* const kIdentifyModel =
    R"({"recModeFaceEnable": 2,"repeatRegEnable": 1,"regInterval": 2000,"recModeCardEnable": 2,)"
    R"("recModeCardIntf": 2,"recModeCardHardware": 1,"recModeCardFaceEnable": 1,"recDoubleValue": 70,)"
    R"("recModeCardFaceIntf": 2,"recModeCardFaceHardware": 1,"recModeIdcardFaceEnable": 1,)"
    R"("recCardFaceValue": 30,"recModeIdcardFaceIntf": 3,"recModeIdcardFaceHardware": 2,)"
    R"("recModeDOBEnable": 1,"recModePasswordEnable": 2,"recModeQREnable": 2,"recDisplayImageMode": 1})";

// Wiegand output formats, in the order of the list's items.
const char* const kWiegandFormats[] = {"#WG{idcardNum}#", "#WG{id}#", "#34WG{idcardNum}#", "#34WG{id}#"};

// The mode lists carry their number in front of the first colon ("100: 自定义").
int modeNumber(const QString& item)
{
    return ReadInteger(item.section(QLatin1Char(':'), 0, 0));
}

QString wiegandFormat(int index)
{
    if (index < 0 || index >= int(std::size(kWiegandFormats)))
        return {};
    return QString::fromLatin1(kWiegandFormats[index]);
}

// One member of the configuration: a quoted text as it stands, or a number.
QString quoted(const char* key, const QString& text)
{
    return QStringLiteral("\"%1\":\"%2\"").arg(QLatin1String(key), text);
}

QString number(const char* key, int value)
{
    return QStringLiteral("\"%1\":%2").arg(QLatin1String(key)).arg(value);
}

CommandLog postConfig(const DeviceConnection& connection, const QString& path, const QString& password,
                      const QString& config, HttpClient& client)
{
    FormFields form;
    form.set("pass", password);
    form.setBytes("config", TextCodec::toUtf8(config));
    CommandLog log;
    ReportOutcome(log, connection.deviceHost,
                  [&] { return PostForm(client, CommandUrl(connection, path), form); },
                  {.success = QStringLiteral("%s"),
                   .successMember = "data",
                   .failure = QStringLiteral("设备设置失败"),
                   .abnormal = QStringLiteral("设备设置异常")});
    return log;
}

} // namespace

QString RecognitionConfigText(const RecognitionFields& f)
{
    const QStringList members{
        quoted("companyName", f.companyName),
        quoted("identifyDistance", QString::number(f.identifyDistanceIndex)),
        number("identifyScores", ReadInteger(f.identifyScores)),
        number("saveIdentifyTime", ReadInteger(f.saveIdentifyTime)),
        number("ttsModType", modeNumber(f.ttsModTypeItem)),
        quoted("ttsModContent", f.ttsModContent),
        number("comModType", modeNumber(f.comModTypeItem)),
        quoted("comModContent", f.comModContent),
        number("displayModType", modeNumber(f.displayModTypeItem)),
        quoted("displayModContent", f.displayModContent),
        quoted("slogan", f.slogan),
        quoted("intro", f.intro),
        number("recStrangerTimesThreshold", f.recStrangerTimesThresholdIndex + 1),
        number("recStrangerType", f.recStrangerTypeIndex + 1),
        number("ttsModStrangerType", modeNumber(f.ttsModStrangerTypeItem)),
        quoted("ttsModStrangerContent", f.ttsModStrangerContent),
        number("multiplayerDetection", f.multiplayerDetectionIndex + 1),
        quoted("wg", wiegandFormat(f.wgIndex)),
        number("recRank", f.recRankIndex + 1),
        number("delayTimeForCloseDoor", ReadInteger(f.delayTimeForCloseDoor)),
        number("whitelist", f.whiteListIndex + 1),
    };
    return '{' + members.join(',') + '}';
}

CommandLog SetRecognitionConfig(const DeviceConnection& connection, const QString& password,
                                const RecognitionFields& fields, HttpClient& client)
{
    return postConfig(connection, QStringLiteral("setConfig"), password, RecognitionConfigText(fields),
                      client);
}

CommandLog SetIdentifyModel(const DeviceConnection& connection, const QString& password, HttpClient& client)
{
    return postConfig(connection, QStringLiteral("device/setIdentifyModel"), password,
                      QString::fromLatin1(kIdentifyModel), client);
}

CommandLog QueryRecognitionConfig(const DeviceConnection& connection, const QString& password,
                                  HttpClient& client)
{
    CommandLog log;
    try {
        const QString text = DecodeReply(GetText(
            client, CommandUrl(connection, QStringLiteral("device/config?pass=") + QueryValue(password))));
        log.lines << text;
        const DeviceReply reply = ParseReply(text);
        if (reply.hasSuccess() && reply.success())
            log.lines << QStringLiteral("ok");
    } catch (const std::exception& error) {
        log.error = QString::fromUtf8(error.what());
    }
    return log;
}
