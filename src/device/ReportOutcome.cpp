#include "device/ReportOutcome.h"

#include "common/Failure.h"

namespace {

QString fillIn(QString pattern, const QString& value)
{
    const qsizetype at = pattern.indexOf(QLatin1String("%s"));
    if (at >= 0)
        pattern.replace(at, 2, value);
    return pattern;
}

} // namespace

ReportedOutcome ReportOutcome(CommandLog& log, const QString& deviceHost,
                              const std::function<QByteArray()>& send, const OutcomeTexts& texts,
                              const SuccessStep& onSuccess)
{
    ReportedOutcome reported;
    try {
        const QString text = DecodeReply(send());
        if (texts.rawLine)
            log.lines << text;
        DeviceReply reply = ParseReply(text);
        if (!reply.hasSuccess()) {
            log.lines << deviceHost + texts.abnormal;
            reported.outcome = Outcome::Abnormal;
            log.cause = text;
        } else if (reply.success()) {
            if (onSuccess)
                onSuccess(reply);
            if (texts.successMember)
                reported.successValue = reply.text(texts.successMember);
            log.lines << deviceHost + fillIn(texts.success, reported.successValue);
            reported.outcome = Outcome::Success;
        } else {
            const bool usesMsg = texts.failure.contains(QLatin1String("%s"));
            log.lines << deviceHost + (usesMsg ? fillIn(texts.failure, reply.text("msg")) : texts.failure);
            reported.outcome = Outcome::Failure;
            log.cause = reply.has("msg") ? reply.text("msg") : text;
        }
        reported.reply = std::move(reply);
    } catch (const std::exception& error) {
        reported = {};
        log.cause = QString::fromUtf8(error.what());
        if (texts.exception)
            log.lines << *texts.exception;
        else
            log.error = QString::fromUtf8(error.what());
    }
    log.outcome = reported.outcome;
    return reported;
}
