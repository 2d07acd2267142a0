#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/ReportOutcome.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

// The serial-screen firmware upload (bootOnline): the whole file goes to the
// terminal as hexadecimal text in one form post.

// The client's read time-out while the terminal takes in and checks the firmware.
constexpr int kFirmwareTimeoutMs = 120000;

// Appends each byte as two upper-case hexadecimal digits, without separator.
void AppendHex(QByteArray& text, const char* bytes, qsizetype count);

// The form body "pass=...&binData=..." with the firmware read from the device
// and written as hexadecimal text straight into it, so the body is the only
// full-size buffer. An empty password or firmware leaves its field out. A read
// error throws Failure.
QByteArray FirmwareFormBody(const QString& password, QIODevice& firmware);

// Reads the file and posts it, logging the reply and the outcome. A file that
// cannot be read ends the command before anything is sent or logged, its error
// carried for the general error box, the time-out untouched. Otherwise the
// client waits up to 120 s for each piece of the reply and is left at 5 s
// afterwards, whatever happened.
CommandLog UploadFirmware(const DeviceConnection& connection, const QString& password, const QString& path,
                          HttpClient& client);
