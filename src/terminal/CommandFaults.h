#pragma once

#include "server/ServerMessages.h"

#include <QString>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

// Faults the simulator is told to play, so that a tool's retries and failure
// paths can be seen at work: every Nth request for a command is refused with a
// "msg", or its connection is closed without a reply.
struct CommandFault
{
    enum class Kind
    {
        Refuse,
        Drop
    };
    Kind kind = Kind::Refuse;
    int every = 0;
    // The command's path, such as "face" or "person/create".
    QString command;
};

class CommandFaults
{
public:
    explicit CommandFaults(std::vector<CommandFault> faults) : faults(std::move(faults)) {}

    // What to do instead of running the request: nothing, a refusal, or, as no
    // reply, a dropped connection. Counts the request. Any thread.
    std::optional<std::optional<ServerReply>> instead(const QString& document);

private:
    std::vector<CommandFault> faults;
    std::mutex mutex;
    std::map<QString, int> counts;
};
