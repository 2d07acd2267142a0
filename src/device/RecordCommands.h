#pragma once

#include "device/DeviceConnection.h"
#include "device/FtpFetch.h"
#include "device/HttpClient.h"
#include "device/ReportOutcome.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <nlohmann/json.hpp>
#include <vector>

// The recognition record commands of the records page.

struct RecordQueryFields
{
    QString password;         // edtPasswordNew
    QString pageRecords;      // edtPageRecords
    QString pages;            // edtPages
    bool rangeChecked = true; // the check box of dtpBegDate
    QDate begDate;            // dtpBegDate
    QDate endDate;            // dtpEndDate
};

// The query string of newFindRecords. Reads the two numbers, so a text that is
// not a whole number throws Failure before anything is sent.
QString RecordQueryText(const RecordQueryFields& fields);

// Where the photos of a query come from and go to.
struct RecordPhotoSource
{
    QString ip;          // edtIP, the photos' host
    FtpLogin login;      // chkUseFtpPass, edtftpUser, edtftpPass
    QString photoFolder; // "pic" beside the program, created when missing
};

// One listed record: its time names the photo file, its path where the photo
// lies on the terminal.
struct RecordPhoto
{
    QString time;
    QString path;
};

struct RecordPage
{
    CommandLog log;
    std::vector<RecordPhoto> records;
    // Every entry of the list as the terminal wrote it, those without a time
    // or a path included: a page shorter than asked for is the last.
    std::vector<nlohmann::ordered_json> listed;
};

// The query's reply text logged, and a successful reply's records listed; a
// reply that is not JSON goes on to the general error box.
RecordPage ReadRecordPage(const QString& text);

// Sends the query and logs the reply; a successful reply's records are listed.
// A transfer error, or a reply that is not JSON, goes on to the general error box.
RecordPage QueryRecordPage(const QString& queryText, const DeviceConnection& connection, HttpClient& client);

// Fetches the photo of every record whose file is missing in the photo folder,
// over one FTP connection, silently. A record whose time cannot name a file
// there gets no photo.
void FetchRecordPhotos(const std::vector<RecordPhoto>& records, const RecordPhotoSource& photos,
                       FtpClient& ftp);

// The query and its photo fetches in one.
CommandLog QueryRecords(const QString& queryText, const RecordPhotoSource& photos,
                        const DeviceConnection& connection, HttpClient& client, FtpClient& ftp);

struct RecordDeleteFields
{
    QString password;  // edtPasswordNew
    QString findEmpId; // edtFindEmpID; "-1" when empty
    QDateTime begin;   // dtpBegDate
    QDateTime end;     // dtpEndDate
};

enum class RecordRange
{
    DateTime, // btnNewDeleteRecords: date-time texts, one day added to the end
    UnixTime  // btn14: milliseconds of the nearest midnights (UTC)
};

CommandLog DeleteRecords(RecordRange range, const RecordDeleteFields& fields,
                         const DeviceConnection& connection, HttpClient& client);
