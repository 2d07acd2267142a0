#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/ReportOutcome.h"

#include <QString>

struct FtpAccountFields
{
    QString password; // the communication password
    QString user;
    QString ftpPassword;
};

// Sets the account of the terminal's FTP service: the values travel in the
// query of a POST with an empty body, each encoded so that it arrives as typed.
CommandLog SetFtpAccount(const DeviceConnection& connection, const FtpAccountFields& fields,
                         HttpClient& client);
