#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/RecordSettings.h"
#include "device/ReportOutcome.h"

#include <QDateTime>
#include <QString>

// The terminal-wide commands of the device management page: network, clock,
// restart and factory reset. Each sends the communication password as "pass".

struct NetworkFields
{
    QString password;
    int dhcpIndex = -1; // of cbbDHCPMod: 0 DHCP, 1 manual
    QString dhcpCaption;
    QString ip;
    QString gateway;
    QString subnetMask;
    QString dns;
};

struct NetworkResult
{
    CommandLog log;
    // Moved to the new address once the terminal has accepted it.
    DeviceConnection connection;
};

// Sends the new settings to the current address; on success the connection
// moves to the new address and the five network keys are recorded before the
// success line, which therefore starts with the new address.
NetworkResult SetNetworkInfo(const DeviceConnection& connection, const NetworkFields& fields,
                             const RecordSettings& record, HttpClient& client);

// The terminal's clock set to `clickedAt`, as Unix milliseconds of whole seconds.
CommandLog SetClock(const DeviceConnection& connection, const QString& password, const QDateTime& clickedAt,
                    HttpClient& client);

// Only the reply itself is logged; a failed request logs the exception line.
CommandLog RestartDevice(const DeviceConnection& connection, const QString& password, HttpClient& client);

// Only the reply itself is logged; a failed request goes to the general error
// box. The confirmation is the caller's: this sends at once.
CommandLog ResetDevice(const DeviceConnection& connection, const QString& password, HttpClient& client);
