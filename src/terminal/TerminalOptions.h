#pragma once

#include "terminal/CommandFaults.h"

#include <QString>
#include <QStringList>
#include <optional>

struct LoadOptions
{
    int terminals = 0;
    double rate = 0;
    int seconds = 0;
    // Base address of the callback server, such as http://127.0.0.1:8090/.
    QString server;
};

struct TerminalOptions
{
    QString address = QStringLiteral("127.0.0.2");
    QString password = QStringLiteral("58104726");
    int records = 0;
    // Empty: a temporary folder that is removed at exit.
    QString dataDir;
    bool callbacksAnywhere = false;
    std::optional<LoadOptions> load;
    std::vector<CommandFault> faults;
    bool help = false;
};

// The command line, arguments[0] being the program. A bad option throws Failure
// with the text to show.
TerminalOptions parseTerminalOptions(const QStringList& arguments);

QString terminalHelpText();
