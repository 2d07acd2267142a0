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

// One command whose first log line is its reply: no answer at all, a failed
// exchange (a status outside 2xx, say), the reply's verdict, or a success
// reply that lacks what the command reads (it ended on its exception line).
CommandVerdict JudgeCommand(const CommandLog& log, TerminalLink& link);
