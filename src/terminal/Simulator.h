#pragma once

#include "server/HttpServer.h"
#include "terminal/CallbackSender.h"
#include "terminal/CommandFaults.h"
#include "terminal/FtpService.h"
#include "terminal/PhotoStore.h"
#include "terminal/TerminalCommands.h"
#include "terminal/TerminalEvents.h"
#include "terminal/TerminalOptions.h"
#include "terminal/TerminalState.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

// One simulated terminal: its state, photo folders, FTP service, callback
// sender and HTTP command API, running from construction to destruction.
class Simulator
{
public:
    static constexpr std::uint16_t kHttpPort = 8090;
    static constexpr int kFtpPort = 8010;

    // Throws Failure when a folder, the FTP service or the HTTP port cannot be
    // had; whatever was made by then is undone.
    Simulator(const TerminalOptions& options, std::function<void(const QString&)> log);

    TerminalEvents& events() { return events_; }
    TerminalStore& store() { return store_; }
    const QString& photoRoot() const { return root; }

private:
    static QString rootFolder(const TerminalOptions& options, std::unique_ptr<QTemporaryDir>& temporary);

    std::function<void(const QString&)> log;
    // Only without a data folder of the user's.
    std::unique_ptr<QTemporaryDir> temporary;
    QString root;
    TerminalStore store_;
    PhotoStore photos;
    FtpService ftp;
    CallbackSender sender;
    TerminalEvents events_;
    TerminalCommands commands;
    CommandFaults faults;
    // Last, so that it stops first: no command runs while the rest goes.
    HttpServer server;
};

// The serial number a terminal at that IPv4 address reports.
QString serialNumberFor(const QString& address);
