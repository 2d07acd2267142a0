#include "cli/TerminalLink.h"

#include "cli/UsageError.h"
#include "device/CommandEnvelope.h"
#include "device/ConnectionCommands.h"

namespace {

// What the terminal accepts until its password is changed.
const QString kFactoryPassword = QStringLiteral("58104726");

// Enough for the headers of many exchanges: the tally reads and clears it often.
constexpr qint64 kTrafficBudget = qint64(4) << 20;

QString passwordFrom(const QCommandLineParser& parser)
{
    if (parser.isSet(QStringLiteral("password")))
        return parser.value(QStringLiteral("password"));
    if (qEnvironmentVariableIsSet("QUILLMOOR_PASSWORD"))
        return qEnvironmentVariable("QUILLMOOR_PASSWORD");
    return kFactoryPassword;
}

} // namespace

void AddTerminalOptions(QCommandLineParser& parser)
{
    parser.addOption(
        {QStringLiteral("ip"), QStringLiteral("The terminal's address (port 8090)."), QStringLiteral("IP")});
    parser.addOption({QStringLiteral("password"),
                      QStringLiteral("The communication password; else QUILLMOOR_PASSWORD, else the "
                                     "factory default."),
                      QStringLiteral("P")});
}

TerminalLink::TerminalLink(const QCommandLineParser& parser)
    : password(passwordFrom(parser)), client(kFormContentType), traffic_(kTrafficBudget)
{
    const QString ip = parser.value(QStringLiteral("ip")).trimmed();
    if (ip.isEmpty())
        throw UsageError(QStringLiteral("--ip is missing"));
    connection = {ip, kDevicePort};
    client.setTimeoutMs(kCommandTimeoutMs);
    client.setTrafficLog(&traffic_);
}

void TerminalLink::tally()
{
    for (const TrafficRecord& record : traffic_.since(seen_)) {
        seen_ = record.id;
        if (record.status != 0)
            ++answered_;
        else
            ++unanswered_;
        lastFailed_ = !record.succeeded();
        lastError_ = record.result;
    }
    traffic_.clear();
}

QString TerminalLink::unreachableText() const
{
    return connection.deviceHost + QStringLiteral(" could not be reached: ") + lastError_;
}
