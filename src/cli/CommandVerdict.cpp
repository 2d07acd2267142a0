#include "cli/CommandVerdict.h"

#include "cli/ExitStatus.h"
#include "cli/TerminalLink.h"

bool CommandVerdict::succeeded() const
{
    return exitStatus == kSucceeded;
}

CommandVerdict JudgeReply(const QString& host, const QString& text)
{
    try {
        const DeviceReply reply = ParseReply(text);
        if (!reply.hasSuccess())
            return {kItemFailed, host + QStringLiteral(" gave a reply without \"success\": ") + text};
        if (!reply.success())
            return {kItemFailed,
                    host + QStringLiteral(" refused: ") + (reply.has("msg") ? reply.text("msg") : text),
                    true};
        return {kSucceeded, {}};
    } catch (const std::exception&) {
        return {kItemFailed, host + QStringLiteral(" gave a reply that is not JSON: ") + text};
    }
}

CommandVerdict JudgeCommand(const CommandLog& log, TerminalLink& link)
{
    const QString host = link.connection.deviceHost;
    link.tally();
    if (link.unreachable())
        return {kUnreachable, link.unreachableText()};
    if (link.lastFailed())
        return {kItemFailed, host + QStringLiteral(": ") + link.lastError()};
    switch (log.outcome) {
    case Outcome::Success:
        return {kSucceeded, {}};
    case Outcome::Failure:
        return {kItemFailed, host + QStringLiteral(" refused: ") + log.cause, true};
    case Outcome::Abnormal:
        return {kItemFailed, host + QStringLiteral(" gave a reply without \"success\": ") + log.cause};
    case Outcome::Error:
        break;
    }
    return {kItemFailed, host + QStringLiteral(" gave a reply the command cannot read: ") + log.cause};
}
