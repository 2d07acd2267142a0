#pragma once

#include "common/TrafficLog.h"
#include "device/DeviceConnection.h"
#include "device/HttpClient.h"

#include <QCommandLineParser>
#include <QString>

// The terminal's address and password options every talking subcommand takes.
void AddTerminalOptions(QCommandLineParser& parser);

// The terminal a subcommand talks to: the address of --ip on port 8090, the
// password, an HTTP client set up as the window's after a connect, and a
// tally of what the terminal has answered, read from the client's traffic.
class TerminalLink
{
public:
    // A missing --ip throws UsageError.
    explicit TerminalLink(const QCommandLineParser& parser);

    DeviceConnection connection;
    // --password, else QUILLMOOR_PASSWORD, else the terminal's factory default.
    QString password;
    HttpClient client;

    // Counts the exchanges since the last call.
    void tally();
    // Exchanges were tried and not one got a reply.
    bool unreachable() const { return answered_ == 0 && unanswered_ > 0; }
    // The last exchange counted failed: its error, the status line of a reply
    // outside 2xx included.
    bool lastFailed() const { return lastFailed_; }
    QString lastError() const { return lastError_; }
    QString unreachableText() const;

private:
    TrafficLog traffic_;
    quint64 seen_ = 0;
    int answered_ = 0;
    int unanswered_ = 0;
    bool lastFailed_ = false;
    QString lastError_;
};
