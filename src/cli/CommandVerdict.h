#pragma once

#include "device/ReportOutcome.h"

#include <QString>

class TerminalLink;

// How a command ended, as the exit status and the complaint that explains it.
struct CommandVerdict
{
    int exitStatus;
    QString complaint;
    // The terminal answered "success" false.
    bool refused = false;

    bool succeeded() const;
};

// A reply text, as a command logs it first: success, a refusal with the
// terminal's "msg", or a reply without "success" or not JSON at all.
CommandVerdict JudgeReply(const QString& host, const QString& text);

// One command by the outcome its log carries: no answer at all, a failed
// exchange (a status outside 2xx, say), a refusal, a reply without "success",
// or a reply that lacks what the command reads.
CommandVerdict JudgeCommand(const CommandLog& log, TerminalLink& link);
