#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/ReportOutcome.h"

#include <QString>
#include <optional>

// The connection and password commands of the device management page. Each
// takes the fields it reads at the click and returns what it logs and changes.

inline const QString kConnectCaption = QStringLiteral("连接");
inline const QString kDisconnectCaption = QStringLiteral("销毁连接");
constexpr int kDevicePort = 8090;
constexpr int kProbeTimeoutMs = 2000;
constexpr int kCommandTimeoutMs = 5000;

struct LinkFields
{
    QString caption; // of btnLink
    QString ip;      // edtIP
    DeviceConnection connection;
};

struct LinkResult
{
    CommandLog log;
    QString caption;
    DeviceConnection connection;
};

// Connect probes the terminal at the typed address and, on success, makes it
// the terminal of every later command; disconnect only flips the caption.
// Every probe leaves the client's time-out at 5000 ms.
LinkResult ConnectOrDisconnect(const LinkFields& fields, HttpClient& client);

struct SerialNumberResult
{
    CommandLog log;
    // What edtSerialNo shows afterwards; the field is emptied at the click.
    std::optional<QString> serialNo;
};

SerialNumberResult ReadSerialNumber(const DeviceConnection& connection, HttpClient& client);

CommandLog ChangePassword(const DeviceConnection& connection, const QString& oldPassword,
                          const QString& newPassword, HttpClient& client);
