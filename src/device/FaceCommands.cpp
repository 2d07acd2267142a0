#include "device/FaceCommands.h"

#include "common/PictureBase64.h"
#include "device/CommandEnvelope.h"
#include "device/LocalPhotoName.h"

#include <QDir>

namespace {

QByteArray sendFaceCommand(FaceCommand command, const FaceFields& fields, const DeviceConnection& connection,
                           HttpClient& client)
{
    FormFields form;
    form.set("pass", fields.password);
    const char* path = "";
    switch (command) {
    case FaceCommand::Register:
        form.set("personId", fields.empId);
        form.set("faceId", fields.faceId);
        form.set("url", fields.faceUrl);
        form.set("base64", PictureToBase64(fields.photo));
        form.set("isEasyWay", fields.easyWay ? "true" : "false");
        path = "face";
        break;
    case FaceCommand::Update:
        form.set("personId", fields.empId);
        form.set("faceId", fields.faceId);
        form.set("imgBase64", PictureToBase64(fields.photo));
        path = "face/update";
        break;
    case FaceCommand::TakePhoto:
        form.set("personId", fields.empId);
        path = "face/takeImg";
        break;
    case FaceCommand::Delete:
        // The terminal deletes by the person ID, sent under the face's name.
        form.set("faceId", fields.empId);
        path = "face/delete";
        break;
    }
    return PostForm(client, CommandUrl(connection, path), form);
}

// The path of the first photo in a successful reply's "data", if it names one.
std::optional<QString> firstPhotoPath(const DeviceReply& reply)
{
    const auto& data = reply.json().at("data");
    if (!data.is_array() || data.empty() || !data.front().is_object() || !data.front().contains("path"))
        return std::nullopt;
    return DeviceReply(data.front()).text("path");
}

} // namespace

std::optional<QString> MissingPhotoMessage(FaceCommand command, const Picture& photo)
{
    if (!photo.isNull())
        return std::nullopt;
    if (command == FaceCommand::Register)
        return QStringLiteral("请先选择照片");
    if (command == FaceCommand::Update)
        return QStringLiteral("照片为空");
    return std::nullopt;
}

CommandLog RunFaceCommand(FaceCommand command, const FaceFields& fields, const DeviceConnection& connection,
                          HttpClient& client)
{
    CommandLog log;
    try {
        log.lines << DecodeReply(sendFaceCommand(command, fields, connection, client));
    } catch (const std::exception& error) {
        log.error = QString::fromUtf8(error.what());
    }
    return log;
}

std::optional<QString> ReadPhotoQueryReply(const QString& host, const QString& text, CommandLog& log)
{
    std::optional<DeviceReply> reply;
    try {
        reply = ParseReply(text);
    } catch (const std::exception&) {
        log.lines << host + QStringLiteral("查询失败2");
        return std::nullopt;
    }
    if (!reply->hasSuccess()) {
        log.lines << host + QStringLiteral("查询照片异常");
        return std::nullopt;
    }
    if (!reply->success()) {
        log.lines << host + QStringLiteral("查询照片失败");
        return std::nullopt;
    }
    const std::optional<QString> path = reply->has("data") ? firstPhotoPath(*reply) : std::nullopt;
    if (!path) {
        log.lines << host + QStringLiteral("查询失败1");
        return std::nullopt;
    }
    log.lines << QStringLiteral("path:") + *path;
    return path;
}

PhotoQueryResult QueryFacePhoto(const PhotoQueryFields& fields, const DeviceConnection& connection,
                                HttpClient& client, FtpClient& ftp)
{
    PhotoQueryResult result;
    const QString& host = connection.deviceHost;
    FormFields form;
    form.set("pass", fields.password);
    form.set("personId", fields.empId);
    QString text;
    try {
        text = DecodeReply(PostForm(client, CommandUrl(connection, "face/find"), form));
    } catch (const std::exception& error) {
        result.log.error = QString::fromUtf8(error.what());
        return result;
    }

    const std::optional<QString> path = ReadPhotoQueryReply(host, text, result.log);
    if (!path)
        return result;

    if (!IsSafeLocalName(fields.faceId))
        return result;
    const QString localFile = QDir(fields.programFolder).filePath(fields.faceId + ".jpg");
    ftp.startBatch();
    if (FetchPhotoFtp(ftp, host, "RegisterPhoto", *path, localFile, fields.login))
        result.photoFile = localFile;
    return result;
}
