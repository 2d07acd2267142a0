#pragma once

#include "device/HttpClient.h"
#include "device/ReportOutcome.h"
#include "device/SiteTerminal.h"

#include <QString>
#include <optional>

struct TerminalCheck
{
    Outcome outcome = Outcome::Error;
    // The terminal's serial number, when it gave one.
    std::optional<QString> serialNo;
    // "正常 12 ms", the terminal's "msg" on a refusal, or the transfer's error.
    QString result;
};

// getDeviceKey, sent to the terminal's own address with its password as the
// one form pair "pass", so that a terminal that checks it can refuse a wrong one.
TerminalCheck CheckTerminal(const SiteTerminal& terminal, HttpClient& client);
