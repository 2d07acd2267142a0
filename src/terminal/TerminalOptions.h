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
    // Terminals on consecutive addresses from `address` on.
    int count = 1;
    // Passwords other than `password`, by terminal address.
    std::vector<std::pair<QString, QString>> passwords;
    std::optional<LoadOptions> load;
    std::vector<CommandFault> faults;
    bool help = false;
};

// The command line, arguments[0] being the program. A bad option throws Failure
// with the text to show.
TerminalOptions parseTerminalOptions(const QStringList& arguments);

QString terminalHelpText();

// The address of the index-th terminal (from 0) of a site beginning at first;
// throws Failure past 255 in the last part.
QString siteAddress(const QString& first, int index);

// The options of that terminal of a site: its address and its password.
TerminalOptions terminalAt(const TerminalOptions& site, int index);
