// records: the recognition records of a date range, page after page as the
// window's 识别记录查询 asks for them, with their photos over FTP.
#include "cli/CommandVerdict.h"
#include "cli/ExitStatus.h"
#include "cli/InterruptWatch.h"
#include "cli/Output.h"
#include "cli/Progress.h"
#include "cli/Subcommand.h"
#include "cli/TerminalLink.h"
#include "cli/UsageError.h"
#include "common/CsvTable.h"
#include "device/LocalPhotoName.h"
#include "device/RecordCommands.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The window's page size.
const QString kPageRecords = QStringLiteral("100");
// No terminal holds more: ten million records.
constexpr int kMaxPages = 100000;

void declare(QCommandLineParser& parser)
{
    AddTerminalOptions(parser);
    parser.addOption(
        {QStringLiteral("from"), QStringLiteral("The first day, as yyyy-mm-dd."), QStringLiteral("DATE")});
    parser.addOption(
        {QStringLiteral("to"), QStringLiteral("The last day, as yyyy-mm-dd."), QStringLiteral("DATE")});
    parser.addOption(
        {QStringLiteral("photos"),
         QStringLiteral("Fetch each record's photo over FTP into DIR as <time>.jpg, unless it is "
                        "there already."),
         QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("ftp-user"), QStringLiteral("The FTP account (default admin)."),
                      QStringLiteral("USER"), QStringLiteral("admin")});
    parser.addOption({QStringLiteral("ftp-password"),
                      QStringLiteral("Its password (default the terminal's factory FTP password)."),
                      QStringLiteral("P"), QStringLiteral("58104726")});
}

QDate dateOf(const QCommandLineParser& parser, const QString& option)
{
    const QString text = parser.value(option);
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw UsageError(QStringLiteral("--%1 wants a date as yyyy-mm-dd, not '%2'").arg(option, text));
    return date;
}

QString valueText(const nlohmann::ordered_json& value)
{
    return value.is_string() ? QString::fromStdString(value.get<std::string>())
                             : QString::fromStdString(value.dump());
}

// The local photo of a record, when it is there.
QString photoOf(const nlohmann::ordered_json& record, const QString& folder)
{
    if (folder.isEmpty() || !record.is_object() || !record.contains("time"))
        return {};
    const QString time = valueText(record.at("time"));
    const QString file = QDir(folder).filePath(time + QStringLiteral(".jpg"));
    return IsSafeLocalName(time) && QFileInfo::exists(file) ? file : QString();
}

// One column for every member any record has, in the order they first come.
QByteArray recordsCsv(const std::vector<nlohmann::ordered_json>& records, const QString& folder)
{
    QStringList header;
    for (const auto& record : records)
        for (const auto& member : record.items())
            if (!header.contains(QString::fromStdString(member.key())))
                header << QString::fromStdString(member.key());
    std::vector<QStringList> table{header};
    if (!folder.isEmpty())
        table.front() << QStringLiteral("photo");
    for (const auto& record : records) {
        QStringList line;
        for (const QString& column : header) {
            const std::string key = column.toStdString();
            line << (record.contains(key) ? valueText(record.at(key)) : QString());
        }
        if (!folder.isEmpty())
            line << photoOf(record, folder);
        table.push_back(line);
    }
    return WriteCsv(table);
}

int run(const QCommandLineParser& parser, Output& out)
{
    if (!parser.positionalArguments().isEmpty())
        throw UsageError(QStringLiteral("records takes no arguments"));
    RecordQueryFields fields;
    fields.begDate = dateOf(parser, QStringLiteral("from"));
    fields.endDate = dateOf(parser, QStringLiteral("to"));
    fields.pageRecords = kPageRecords;
    TerminalLink link(parser);
    fields.password = link.password;
    const QString folder = parser.value(QStringLiteral("photos"));
    const RecordPhotoSource photos{
        link.connection.deviceHost,
        {true, parser.value(QStringLiteral("ftp-user")), parser.value(QStringLiteral("ftp-password"))},
        folder};
    FtpClient ftp;

    std::vector<nlohmann::ordered_json> records;
    int missingPhotos = 0;
    CommandVerdict verdict{kSucceeded, {}};
    {
        Progress progress(QStringLiteral("records"));
        for (int index = 0; index < kMaxPages && !InterruptWatch::requested(); ++index) {
            fields.pages = QString::number(index);
            const RecordPage page = QueryRecordPage(RecordQueryText(fields), link.connection, link.client);
            verdict = JudgeCommand(page.log, link);
            if (!verdict.succeeded())
                break;
            if (!folder.isEmpty())
                FetchRecordPhotos(page.records, photos, ftp);
            for (const auto& record : page.listed) {
                if (!folder.isEmpty() && photoOf(record, folder).isEmpty())
                    ++missingPhotos;
                if (out.json()) {
                    nlohmann::ordered_json shown = record;
                    if (!folder.isEmpty() && shown.is_object())
                        shown["photo"] = JsonString(photoOf(record, folder));
                    out.result({}, shown);
                }
            }
            records.insert(records.end(), page.listed.begin(), page.listed.end());
            progress.show(static_cast<qint64>(records.size()), 0);
            if (page.listed.size() < std::size_t(kPageRecords.toInt()))
                break;
        }
    }
    if (!out.json() && (verdict.succeeded() || !records.empty()))
        out.bytes(recordsCsv(records, folder));

    if (!verdict.succeeded()) {
        out.complain(verdict.complaint);
        return verdict.exitStatus;
    }
    if (InterruptWatch::requested()) {
        out.complain(QStringLiteral("interrupted after %1 records").arg(records.size()));
        return kItemFailed;
    }
    if (missingPhotos > 0) {
        out.complain(
            QStringLiteral("%1 of %2 photos could not be fetched").arg(missingPhotos).arg(records.size()));
        return kItemFailed;
    }
    return kSucceeded;
}

} // namespace

extern const Subcommand kRecordsSubcommand{
    "records",
    "records --ip IP --from DATE --to DATE [--password P] [--photos DIR] [--ftp-user USER] [--ftp-password "
    "P] "
    "[--json]",
    "writes the records of a date range as CSV and fetches their photos over FTP", declare, run};
