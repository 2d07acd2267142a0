// site: the site dialog's check and apply over a list of terminals.
#include "cli/ExitStatus.h"
#include "cli/InterruptWatch.h"
#include "cli/Output.h"
#include "cli/Progress.h"
#include "cli/Subcommand.h"
#include "cli/UsageError.h"
#include "common/SettingsFile.h"
#include "device/ConnectionCommands.h"
#include "device/SiteActions.h"
#include "device/SiteCheck.h"
#include "device/SiteFile.h"
#include "device/SiteRun.h"

#include <QFile>
#include <QFileInfo>
#include <mutex>

namespace {

// The callback addresses, in their buttons' order, and the online service
// address, each recorded under its key by a single button's success.
const AddressCommand* const kCallbacks[] = {&kIdentifyCallbackAddress, &kHeartbeatAddress,
                                            &kImageRegistrationAddress, &kQrCodeCallbackAddress,
                                            &kTaskInterfaceAddress,     &kTaskResultsAddress};

void declare(QCommandLineParser& parser)
{
    parser.addPositionalArgument(QStringLiteral("ACTION"), QStringLiteral("check or apply."));
    parser.addPositionalArgument(
        QStringLiteral("SITE_FILE"),
        QStringLiteral("The terminals: the window's site.json, or a CSV of 名称,IP,密码 (UTF-8 or GBK)."));
    parser.addOption({QStringLiteral("parallel"), QStringLiteral("Terminals at a time, 1 to 32 (default 8)."),
                      QStringLiteral("N"), QStringLiteral("8")});
    parser.addOption({QStringLiteral("time"), QStringLiteral("apply: set each terminal's clock.")});
    parser.addOption({QStringLiteral("config-from"),
                      QStringLiteral("apply: the callback and online service addresses recorded in this "
                                     "Horavel.ini; the fields the file does not keep as the window starts."),
                      QStringLiteral("INI")});
}

SiteList readSite(const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0) {
        if (!QFile::exists(path))
            throw UsageError(QStringLiteral("no site file %1").arg(path));
        const SiteFileContents contents = ReadSiteFile(path);
        if (!contents.damage.isEmpty())
            throw UsageError(contents.damage);
        return contents.terminals;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    try {
        return ReadSiteCsv(file.readAll());
    } catch (const Failure& failure) {
        throw UsageError(path + QStringLiteral(": ") + failure.text());
    }
}

// The addresses the ini recorded, with what the window's fields hold at start
// for the rest: no live photo as Base64, a heartbeat every 5 s.
void addressesFrom(const QString& ini, SiteSettings& settings)
{
    if (!QFile::exists(ini))
        throw UsageError(QStringLiteral("no settings file %1").arg(ini));
    const SettingsFile file(ini);
    const auto recorded = [&](const AddressCommand& command) {
        return file.ReadSetting(SettingsFile::kDeviceSection, command.key, QString());
    };
    for (const AddressCommand* command : kCallbacks) {
        const QString address = recorded(*command);
        if (address.isEmpty())
            continue;
        AddressFields fields{{}, address, {}};
        if (command == &kIdentifyCallbackAddress || command == &kImageRegistrationAddress)
            fields.further = {{"base64Enable", Base64EnableValue(false)}};
        settings.callbacks.push_back({command, fields});
    }
    if (!settings.callbacks.empty())
        settings.actions.push_back(SiteAction::Callbacks);
    const QString service = recorded(kOnlineServiceAddress);
    if (!service.isEmpty()) {
        settings.service.fields = {{}, service, {{"interval", QStringLiteral("5")}, {"base64Enable", "1"}}};
        settings.actions.push_back(SiteAction::Service);
    }
}

struct TerminalOutcome
{
    bool succeeded = false;
    bool unreachable = false;
    QString serial;
    QString result;
};

int parallelFrom(const QCommandLineParser& parser)
{
    bool isNumber = false;
    const int parallel = parser.value(QStringLiteral("parallel")).toInt(&isNumber);
    if (!isNumber || parallel < 1 || parallel > SiteRun::kMaxParallel)
        throw UsageError(QStringLiteral("--parallel wants 1 to 32, not '%1'").arg(parser.value("parallel")));
    return parallel;
}

int run(const QCommandLineParser& parser, Output& out)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2 || (positional[0] != QLatin1String("check") && positional[0] != "apply"))
        throw UsageError(QStringLiteral("site wants check or apply, and SITE_FILE"));
    const bool applying = positional[0] == QLatin1String("apply");
    const int parallel = parallelFrom(parser);
    SiteSettings settings;
    if (applying) {
        if (parser.isSet(QStringLiteral("time")))
            settings.actions.push_back(SiteAction::Time);
        if (parser.isSet(QStringLiteral("config-from")))
            addressesFrom(parser.value(QStringLiteral("config-from")), settings);
        if (settings.actions.empty())
            throw UsageError(QStringLiteral("apply has nothing to send: give --time or --config-from"));
    }
    const SiteList site = readSite(positional[1]);

    std::vector<QString> addresses;
    for (const SiteTerminal& terminal : site)
        addresses.push_back(terminal.ip);
    std::vector<TerminalOutcome> outcomes(site.size());
    SiteRun siteRun(parallel, {}, kCommandTimeoutMs);
    {
        Progress progress(QStringLiteral("site"));
        std::mutex mutex;
        qint64 done = 0;
        const OnInterrupt stop([&siteRun] { siteRun.cancel(); });
        siteRun.run(addresses, [&](std::size_t index, TerminalClients& clients) {
            TerminalOutcome outcome;
            if (applying) {
                const std::vector<ActionOutcome> actions = ApplyToTerminal(
                    settings, site[index], clients.client, clients.clearingClient, clients.aborted);
                outcome.succeeded = std::all_of(actions.begin(), actions.end(), [](const ActionOutcome& action) {
                    return action.outcome == Outcome::Success;
                });
                outcome.result = SiteOutcomeText(actions);
            } else {
                const TerminalCheck check = CheckTerminal(site[index], clients.client);
                outcome.succeeded = check.outcome == Outcome::Success;
                outcome.serial = check.serialNo.value_or(QString());
                outcome.result = check.result;
            }
            outcome.unreachable = !outcome.succeeded && clients.client.lastStatus() == 0 &&
                                  clients.clearingClient.lastStatus() == 0;
            std::lock_guard lock(mutex);
            outcomes[index] = outcome;
            progress.show(++done, qint64(site.size()));
        });
    }

    int failed = 0;
    int unreachable = 0;
    int notRun = 0;
    for (std::size_t at = 0; at < site.size(); ++at) {
        const SiteTerminal& terminal = site[at];
        TerminalOutcome& outcome = outcomes[at];
        if (outcome.result.isEmpty()) {
            ++notRun;
            outcome.result = QStringLiteral("not run: interrupted");
        }
        failed += outcome.succeeded ? 0 : 1;
        unreachable += outcome.unreachable ? 1 : 0;
        out.result(QStringLiteral("%1 %2 %3 %4").arg(terminal.ip, terminal.name, outcome.serial, outcome.result)
                       .simplified(),
                   {{"name", JsonString(terminal.name)},
                    {"ip", JsonString(terminal.ip)},
                    {"serial", JsonString(outcome.serial)},
                    {"succeeded", outcome.succeeded},
                    {"result", JsonString(outcome.result)}});
    }
    if (failed == 0)
        return kSucceeded;
    if (notRun > 0)
        out.complain(QStringLiteral("interrupted: %1 of %2 terminals not run").arg(notRun).arg(site.size()));
    else
        out.complain(QStringLiteral("%1 of %2 terminals failed, %3 of them unreachable")
                         .arg(failed)
                         .arg(site.size())
                         .arg(unreachable));
    return unreachable == int(site.size()) ? kUnreachable : kItemFailed;
}

} // namespace

extern const Subcommand kSiteSubcommand{
    "site", "site check|apply SITE_FILE [--time] [--config-from INI] [--parallel N] [--json]",
    "checks every terminal of a site, or applies the clock and addresses to all of them", declare, run};
