// time: the terminal's clock set to this computer's, as the window's 设置时间 sets it.
#include "cli/CommandVerdict.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "cli/Subcommand.h"
#include "cli/TerminalLink.h"
#include "common/UnixTime.h"
#include "device/AdministrationCommands.h"

namespace {

void declare(QCommandLineParser& parser)
{
    AddTerminalOptions(parser);
}

int run(const QCommandLineParser& parser, Output& out)
{
    TerminalLink link(parser);
    const QDateTime now = QDateTime::currentDateTime();
    const CommandLog log = SetClock(link.connection, link.password, now, link.client);
    const CommandVerdict verdict = JudgeCommand(log, link);
    if (!verdict.succeeded()) {
        out.complain(verdict.complaint);
        return verdict.exitStatus;
    }
    const QString shown = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    out.result(QStringLiteral("%1: clock set to %2").arg(link.connection.deviceHost, shown),
               {{"ip", JsonString(link.connection.deviceHost)},
                {"time", JsonString(shown)},
                {"timestamp", JsonString(LocalToUnixSeconds(now) + QStringLiteral("000"))}});
    return kSucceeded;
}

} // namespace

extern const Subcommand kTimeSubcommand{"time", "time --ip IP [--password P] [--json]",
                                        "sets the terminal's clock to this computer's", declare, run};
