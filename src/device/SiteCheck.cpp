#include "device/SiteCheck.h"

#include "device/CommandEnvelope.h"
#include "device/ConnectionCommands.h"

#include <chrono>

TerminalCheck CheckTerminal(const SiteTerminal& terminal, HttpClient& client)
{
    FormFields fields;
    fields.set("pass", terminal.password);
    const DeviceConnection connection{terminal.ip, kDevicePort};
    const auto started = std::chrono::steady_clock::now();
    CommandLog log;
    const ReportedOutcome reported = ReportOutcome(
        log, connection.deviceHost,
        [&] { return PostForm(client, CommandUrl(connection, QStringLiteral("getDeviceKey")), fields); },
        {.success = QStringLiteral("%s"), .successMember = "data", .failure = QStringLiteral("%s"), .abnormal = {}});
    TerminalCheck check{log.outcome, std::nullopt, log.cause};
    if (reported.outcome == Outcome::Success) {
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started);
        check.serialNo = reported.successValue;
        check.result = QStringLiteral("正常 %1 ms").arg(took.count());
    }
    return check;
}
