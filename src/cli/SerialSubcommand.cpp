// serial: the serial number, read as the window's 读序列号 reads it.
#include "cli/CommandVerdict.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "cli/Subcommand.h"
#include "cli/TerminalLink.h"
#include "device/ConnectionCommands.h"

namespace {

void declare(QCommandLineParser& parser)
{
    AddTerminalOptions(parser);
}

int run(const QCommandLineParser& parser, Output& out)
{
    TerminalLink link(parser);
    const SerialNumberResult read = ReadSerialNumber(link.connection, link.client);
    const CommandVerdict verdict = JudgeCommand(read.log, link);
    if (!verdict.succeeded()) {
        out.complain(verdict.complaint);
        return verdict.exitStatus;
    }
    out.result(*read.serialNo,
               {{"ip", JsonString(link.connection.deviceHost)}, {"serial", JsonString(*read.serialNo)}});
    return kSucceeded;
}

} // namespace

extern const Subcommand kSerialSubcommand{
    "serial", "serial --ip IP [--password P] [--json]",
    "prints the terminal's serial number (the command takes no password)", declare, run};
