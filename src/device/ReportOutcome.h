#pragma once

#include "device/DeviceReply.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

enum class Outcome
{
    Success,
    Failure,
    Abnormal,
    Error
};

// What a command leaves behind in its log pane. A command without an exception
// line of its own also carries the error that ends it in the general error box,
// after its lines so far are written.
struct CommandLog
{
    QStringList lines;
    std::optional<QString> error;
    // How the terminal answered and, unless it accepted, why: its "msg", the
    // reply itself, or the error of the transfer. For callers that run
    // commands in bulk and read no line.
    Outcome outcome = Outcome::Error;
    QString cause;
};

// A command's outcome texts; each but the exception line follows the device's
// address without a separator.
struct OutcomeTexts
{
    // "%s" in it, when successMember is set, is replaced by that member's text.
    QString success;
    const char* successMember = nullptr;
    // "%s" in it is replaced by the text of "msg"; a text without "%s" is fixed.
    QString failure;
    QString abnormal;
    // Without one, an error goes on to the general error box.
    std::optional<QString> exception = QStringLiteral("操作失败");
    // The decoded reply as the first line, before any parsing.
    bool rawLine = true;
};


struct ReportedOutcome
{
    Outcome outcome = Outcome::Error;
    std::optional<DeviceReply> reply;
    // The text that replaced "%s" in the success line.
    QString successValue;
};

// What a command does once the terminal has reported success, before its
// success line: record settings, move to a new address. An error it throws
// ends the command on its exception line; what it did so far stays done.
using SuccessStep = std::function<void(const DeviceReply& reply)>;

// Sends the command, then writes the raw line and the line for its outcome.
// Any failure from sending to building the outcome line (no connection,
// time-out, bad status, a reply that is not JSON, a member the line needs, a
// failing success step) gives the exception line, or the error for the
// general error box. deviceHost is read when the line is written, so a
// success step may move it.
ReportedOutcome ReportOutcome(CommandLog& log, const QString& deviceHost,
                              const std::function<QByteArray()>& send, const OutcomeTexts& texts,
                              const SuccessStep& onSuccess = {});
