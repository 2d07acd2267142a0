#pragma once

#include "device/AddressRegistration.h"
#include "device/HttpClient.h"
#include "device/RecognitionConfig.h"
#include "device/ReportOutcome.h"
#include "device/SiteTerminal.h"
#include "device/TemperatureCommands.h"

#include <QString>
#include <atomic>
#include <vector>

// What can be applied to every terminal of a site, each as its single button
// sends it.
enum class SiteAction
{
    Time,        // btnsettime
    Config,      // btnsetconfig
    Callbacks,   // the six set buttons of the callback addresses, in order
    Service,     // btnsetServerAddress
    Temperature, // Button4, its field check first
};

QString SiteActionText(SiteAction action);

struct SiteAddress
{
    const AddressCommand* command;
    // The password is the terminal's own.
    AddressFields fields;
};

// The chosen actions and the fields they read, as they stood at the click.
struct SiteSettings
{
    std::vector<SiteAction> actions;
    RecognitionFields config;
    std::vector<SiteAddress> callbacks;
    SiteAddress service{&kOnlineServiceAddress, {}};
    TemperatureFields temperature;
};

struct ActionOutcome
{
    SiteAction action;
    Outcome outcome = Outcome::Error;
    // Why it did not succeed; empty on success.
    QString cause;
    // Not sent: the terminal could not be reached, or the run was stopped.
    bool notSent = false;
};

// Runs the actions in order on one terminal, with its own address and
// password. The settings file is not written: it describes the terminal of the
// window. Once the terminal cannot be reached, or stop is set, the actions
// left are not sent.
std::vector<ActionOutcome> ApplyToTerminal(const SiteSettings& settings, const SiteTerminal& terminal,
                                           HttpClient& client, HttpClient& clearingClient,
                                           const std::atomic<bool>& stop);

// "校时 成功；识别参数 失败: msg".
QString SiteOutcomeText(const std::vector<ActionOutcome>& outcomes);
