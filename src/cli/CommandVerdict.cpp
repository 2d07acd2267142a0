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
    const CommandVerdict verdict = JudgeReply(host, log.lines.value(0));
    if (verdict.succeeded() && (log.error || log.lines.constLast() == OutcomeTexts{}.exception))
        return {kItemFailed,
                host + QStringLiteral(" gave a reply without what the command reads: ") + log.lines.value(0)};
    return verdict;
}
