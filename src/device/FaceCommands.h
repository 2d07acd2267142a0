#pragma once

#include "common/Picture.h"
#include "device/DeviceConnection.h"
#include "device/FtpFetch.h"
#include "device/HttpClient.h"
#include "device/ReportOutcome.h"

#include <QString>
#include <optional>

// The face photo commands of the persons and photos page.

struct FaceFields
{
    QString password;     // edtPasswordNew
    QString empId;        // edtEmpID
    QString faceId;       // edtFaceID
    QString faceUrl;      // edtfaceUrl
    bool easyWay = false; // chkEasyWay
    Picture photo;        // imgEmp
};

enum class FaceCommand
{
    Register,  // btn13
    Update,    // btn7
    TakePhoto, // btn11
    Delete     // btn17
};

// The message shown instead of sending when the command needs the photo box
// filled and it is empty.
std::optional<QString> MissingPhotoMessage(FaceCommand command, const Picture& photo);

// Sends the command and logs the reply as it comes; a transfer error goes on
// to the general error box. Call only when MissingPhotoMessage gives nothing.
CommandLog RunFaceCommand(FaceCommand command, const FaceFields& fields, const DeviceConnection& connection,
                          HttpClient& client);

struct PhotoQueryFields
{
    QString password; // edtPasswordNew
    QString empId;    // edtEmpID
    QString faceId;   // edtFaceID, names the local file
    FtpLogin login;   // chkUseFtpPass, edtftpUser, edtftpPass
    QString programFolder;
};

struct PhotoQueryResult
{
    CommandLog log;
    // The photo stored beside the program, to be shown in imgPic.
    std::optional<QString> photoFile;
};

// Reads the photo query's reply from host: logs why it names no photo, or the
// path of the person's first photo, which it returns.
std::optional<QString> ReadPhotoQueryReply(const QString& host, const QString& text, CommandLog& log);

// Asks the terminal where the person's photo lies, then fetches it from the
// terminal's FTP service into the face ID + ".jpg" beside the program. A face
// ID that cannot name a file there gets no fetch.
PhotoQueryResult QueryFacePhoto(const PhotoQueryFields& fields, const DeviceConnection& connection,
                                HttpClient& client, FtpClient& ftp);
