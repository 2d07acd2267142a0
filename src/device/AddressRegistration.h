#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/RecordSettings.h"
#include "device/ReportOutcome.h"

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// One of the addresses the terminal calls or fetches from: where it is set,
// under which form name it travels, the settings key that records it, and the
// lines of a refusal and of an abnormal reply.
struct AddressCommand
{
    QString path;
    QByteArray addressName;
    QString key;
    QString failure;
    QString abnormal;
};

extern const AddressCommand kIdentifyCallbackAddress;
extern const AddressCommand kHeartbeatAddress;
extern const AddressCommand kImageRegistrationAddress;
extern const AddressCommand kQrCodeCallbackAddress;
extern const AddressCommand kTaskInterfaceAddress;
extern const AddressCommand kTaskResultsAddress;
extern const AddressCommand kOnlineServiceAddress;

struct AddressFields
{
    QString password;
    QString address;
    // Sent after the address, in order, and only with an address.
    std::vector<std::pair<QByteArray, QString>> further;
};

// "base64Enable" of the callback commands: "2" when the live photo goes as Base64.
QString Base64EnableValue(bool ticked);

// Tells the terminal the address. An empty address clears it with a fixed body
// of the password and the empty address name, posted through clearingClient.
// On success the address is recorded under its key, then the line is the host
// followed by the reply's "data".
CommandLog RegisterAddress(const DeviceConnection& connection, const AddressCommand& command,
                           const AddressFields& fields, const RecordSettings& record, HttpClient& client,
                           HttpClient& clearingClient);

// Reads the recognition callback address back; it is only shown.
CommandLog QueryCallbackAddress(const DeviceConnection& connection, const QString& password,
                                HttpClient& client);
