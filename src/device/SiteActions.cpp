#include "device/SiteActions.h"

#include "device/AdministrationCommands.h"
#include "device/ConnectionCommands.h"

#include <QDateTime>

namespace {

// The settings file is the window's terminal's; nothing is recorded for a site.
const RecordSettings kNoRecord = [](const SettingValues&) {};

struct Sent
{
    Outcome outcome;
    QString cause;
};

Sent sentBy(const CommandLog& log)
{
    return {log.outcome, log.outcome == Outcome::Success ? QString() : log.cause};
}

Sent sendAddress(const SiteAddress& address, const DeviceConnection& connection, const QString& password,
                 HttpClient& client, HttpClient& clearingClient)
{
    AddressFields fields = address.fields;
    fields.password = password;
    return sentBy(RegisterAddress(connection, *address.command, fields, kNoRecord, client, clearingClient));
}

Sent sendAction(SiteAction action, const SiteSettings& settings, const DeviceConnection& connection,
                const QString& password, HttpClient& client, HttpClient& clearingClient)
{
    switch (action) {
    case SiteAction::Time:
        return sentBy(SetClock(connection, password, QDateTime::currentDateTime(), client));
    case SiteAction::Config:
        return sentBy(SetRecognitionConfig(connection, password, settings.config, client));
    case SiteAction::Callbacks: {
        // Each address is a command of its own; one refused does not hold back the rest.
        QStringList failures;
        Outcome worst = Outcome::Success;
        for (const SiteAddress& address : settings.callbacks) {
            const Sent sent = sendAddress(address, connection, password, client, clearingClient);
            if (sent.outcome == Outcome::Success)
                continue;
            worst = sent.outcome;
            failures << address.command->path + QStringLiteral(": ") + sent.cause;
            if (client.lastStatus() == 0 && sent.outcome == Outcome::Error)
                break;
        }
        return {worst, failures.join(QStringLiteral("，"))};
    }
    case SiteAction::Service:
        return sendAddress(settings.service, connection, password, client, clearingClient);
    case SiteAction::Temperature:
        if (!TemperatureParamsFilled(settings.temperature))
            return {Outcome::Failure, kParamsMissing};
        return sentBy(SendTemperatureConfig(connection, password, settings.temperature, client, [] {}));
    }
    return {Outcome::Error, {}};
}

} // namespace

QString SiteActionText(SiteAction action)
{
    switch (action) {
    case SiteAction::Time:
        return QStringLiteral("校时");
    case SiteAction::Config:
        return QStringLiteral("识别参数");
    case SiteAction::Callbacks:
        return QStringLiteral("回调地址");
    case SiteAction::Service:
        return QStringLiteral("在线消费地址");
    case SiteAction::Temperature:
        return QStringLiteral("测温参数");
    }
    return {};
}

std::vector<ActionOutcome> ApplyToTerminal(const SiteSettings& settings, const SiteTerminal& terminal,
                                           HttpClient& client, HttpClient& clearingClient,
                                           const std::atomic<bool>& stop)
{
    const DeviceConnection connection{terminal.ip, kDevicePort};
    std::vector<ActionOutcome> outcomes;
    bool unreachable = false;
    for (const SiteAction action : settings.actions) {
        if (unreachable || stop) {
            outcomes.push_back({action, Outcome::Error, {}, true});
            continue;
        }
        Sent sent{Outcome::Error, {}};
        try {
            sent = sendAction(action, settings, connection, terminal.password, client, clearingClient);
            // No reply at all: every later action would wait for its time-out too.
            unreachable = sent.outcome == Outcome::Error && client.lastStatus() == 0;
        } catch (const std::exception& error) {
            // A field that does not convert, found before anything is sent.
            sent = {Outcome::Error, QString::fromUtf8(error.what())};
        }
        outcomes.push_back({action, sent.outcome, sent.cause});
    }
    return outcomes;
}

QString SiteOutcomeText(const std::vector<ActionOutcome>& outcomes)
{
    QStringList parts;
    for (const ActionOutcome& outcome : outcomes) {
        QString part = SiteActionText(outcome.action) + ' ';
        if (outcome.notSent)
            part += QStringLiteral("未执行");
        else if (outcome.outcome == Outcome::Success)
            part += QStringLiteral("成功");
        else
            part += QStringLiteral("失败: ") + outcome.cause;
        parts << part;
    }
    return parts.join(QStringLiteral("；"));
}
