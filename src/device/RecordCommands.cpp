#include "device/RecordCommands.h"

#include "common/EscapeBlanks.h"
#include "common/IntegerText.h"
#include "common/UnixTime.h"
#include "device/CommandEnvelope.h"
#include "device/LocalPhotoName.h"
#include "device/QueryValue.h"

#include <QDir>
#include <QFileInfo>

namespace {

const char* const kDateTimeFormat = "yyyy-MM-dd HH:mm:ss";

QString memberText(const nlohmann::ordered_json& object, const char* member)
{
    return DeviceReply(nlohmann::ordered_json{{member, object.at(member)}}).text(member);
}

} // namespace

QString RecordQueryText(const RecordQueryFields& fields)
{
    const int length = ReadInteger(fields.pageRecords);
    const int index = ReadInteger(fields.pages);
    const QString startTime = fields.rangeChecked ? fields.begDate.toString("yyyy-MM-dd 00:00:00") : "0";
    const QString endTime = fields.rangeChecked ? fields.endDate.toString("yyyy-MM-dd 23:59:59") : "0";
    return EscapeBlanks("pass=" + QueryValue(fields.password) + "&personId=-1&startTime=" + startTime +
                        "&endTime=" + endTime + "&length=" + QString::number(length) +
                        "&model=-1&order=1&index=" + QString::number(index));
}

RecordPage ReadRecordPage(const QString& text)
{
    RecordPage page;
    page.log.lines << text;
    CommandLog& log = page.log;
    try {
        const DeviceReply reply = ParseReply(text);
        if (!reply.hasSuccess() || !reply.success()) {
            log.outcome = reply.hasSuccess() ? Outcome::Failure : Outcome::Abnormal;
            log.cause = reply.hasSuccess() && reply.has("msg") ? reply.text("msg") : text;
            return page;
        }
        log.outcome = Outcome::Success;
        if (!reply.has("data"))
            return page;
        const DeviceReply data = ParseReply(reply.text("data"));
        if (!data.has("records") || !data.json().at("records").is_array())
            return page;
        for (const auto& record : data.json().at("records")) {
            page.listed.push_back(record);
            if (record.is_object() && record.contains("time") && record.contains("path"))
                page.records.push_back({memberText(record, "time"), memberText(record, "path")});
        }
    } catch (const std::exception& error) {
        log.outcome = Outcome::Error;
        log.cause = QString::fromUtf8(error.what());
        log.error = log.cause;
    }
    return page;
}

RecordPage QueryRecordPage(const QString& queryText, const DeviceConnection& connection, HttpClient& client)
{
    QString text;
    try {
        text = DecodeReply(GetText(client, CommandUrl(connection, "newFindRecords?" + queryText)));
    } catch (const std::exception& error) {
        RecordPage page;
        page.log.cause = QString::fromUtf8(error.what());
        page.log.error = page.log.cause;
        return page;
    }
    return ReadRecordPage(text);
}

void FetchRecordPhotos(const std::vector<RecordPhoto>& records, const RecordPhotoSource& photos,
                       FtpClient& ftp)
{
    if (records.empty())
        return;
    QDir().mkpath(photos.photoFolder);
    ftp.startBatch();
    for (const RecordPhoto& record : records) {
        if (ftp.cancelled())
            return;
        if (!IsSafeLocalName(record.time))
            continue;
        const QString localFile = QDir(photos.photoFolder).filePath(record.time + ".jpg");
        if (!QFileInfo::exists(localFile))
            FetchPhotoFtp(ftp, photos.ip, "IdentifyRecords", record.path, localFile, photos.login);
    }
}

CommandLog QueryRecords(const QString& queryText, const RecordPhotoSource& photos,
                        const DeviceConnection& connection, HttpClient& client, FtpClient& ftp)
{
    const RecordPage page = QueryRecordPage(queryText, connection, client);
    FetchRecordPhotos(page.records, photos, ftp);
    return page.log;
}

CommandLog DeleteRecords(RecordRange range, const RecordDeleteFields& fields,
                         const DeviceConnection& connection, HttpClient& client)
{
    FormFields form;
    form.set("pass", fields.password);
    form.set("personId", fields.findEmpId.isEmpty() ? QStringLiteral("-1") : fields.findEmpId);
    if (range == RecordRange::DateTime) {
        form.set("startTime", fields.begin.toString(kDateTimeFormat));
        form.set("endTime", fields.end.addDays(1).toString(kDateTimeFormat));
    } else {
        form.set("startTime", QString::number(DayToUnixSeconds(fields.begin) * 1000));
        form.set("endTime", QString::number(DayToUnixSeconds(fields.end) * 1000));
    }
    form.set("model", "-1");
    const QString path = range == RecordRange::DateTime ? "newDeleteRecords" : "newDeleteRecordsByUnixTime";

    CommandLog log;
    try {
        const QString text = DecodeReply(PostForm(client, CommandUrl(connection, path), form));
        log.lines << text;
        const DeviceReply reply = ParseReply(text);
        if (reply.hasSuccess() && reply.success())
            log.lines << QStringLiteral("删除成功");
    } catch (const std::exception& error) {
        log.error = QString::fromUtf8(error.what());
    }
    return log;
}
