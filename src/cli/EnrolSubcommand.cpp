// enrol: the bulk enrolment of the persons page, from a CSV and a photo folder.
#include "cli/ExitStatus.h"
#include "cli/InterruptWatch.h"
#include "cli/Output.h"
#include "cli/Progress.h"
#include "cli/Subcommand.h"
#include "cli/TerminalLink.h"
#include "cli/UsageError.h"
#include "common/CsvTable.h"
#include "device/BulkEnrolment.h"
#include "device/EnrolReport.h"
#include "device/EnrolSheet.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <map>

namespace {

void declare(QCommandLineParser& parser)
{
    AddTerminalOptions(parser);
    parser.addPositionalArgument(QStringLiteral("CSV"),
                                 QStringLiteral("The persons: 人员ID, 姓名 and optionally 卡号, 有效期, 照片 "
                                                "(UTF-8 or GBK, as Excel saves it)."));
    parser.addPositionalArgument(QStringLiteral("PHOTO_DIR"),
                                 QStringLiteral("Where the photos are: the file a row's 照片 names, else "
                                                "<ID>.jpg, .jpeg or .png."));
    parser.addOption({QStringLiteral("mode"),
                      QStringLiteral("Persons already on the terminal: skip (default) or overwrite."),
                      QStringLiteral("skip|overwrite"), QStringLiteral("skip")});
    parser.addOption(
        {QStringLiteral("easy-way"), QStringLiteral("Register the faces the easy way (isEasyWay).")});
    parser.addOption({QStringLiteral("report"),
                      QStringLiteral("The result CSV, as the window exports it, written also after Ctrl+C."),
                      QStringLiteral("FILE")});
}

const char* stateKey(EnrolState state)
{
    static const std::map<EnrolState, const char*> keys{
        {EnrolState::Pending, "pending"}, {EnrolState::Invalid, "invalid"},
        {EnrolState::Skipped, "skipped"}, {EnrolState::Succeeded, "succeeded"},
        {EnrolState::Failed, "failed"},   {EnrolState::Cancelled, "cancelled"}};
    return keys.at(state);
}

EnrolMode modeFrom(const QCommandLineParser& parser)
{
    const QString mode = parser.value(QStringLiteral("mode"));
    if (mode == QLatin1String("skip"))
        return EnrolMode::Skip;
    if (mode == QLatin1String("overwrite"))
        return EnrolMode::Overwrite;
    throw UsageError(QStringLiteral("--mode is skip or overwrite, not '%1'").arg(mode));
}

// The sheet read and every row checked, as the dialog's 检查 does.
std::vector<EnrolRow> readSheet(const QString& csvPath, const QString& photoFolder)
{
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError(QStringLiteral("cannot read %1: %2").arg(csvPath, file.errorString()));
    if (!QDir(photoFolder).exists())
        throw UsageError(QStringLiteral("no photo folder %1").arg(photoFolder));
    try {
        return ReadEnrolSheet(file.readAll(), photoFolder);
    } catch (const Failure& failure) {
        throw UsageError(csvPath + QStringLiteral(": ") + failure.text());
    }
}

void writeReport(const QString& path, const std::vector<EnrolRow>& rows)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(WriteCsv(EnrolReportTable(rows))) < 0 ||
        !file.commit())
        throw Failure(QStringLiteral("cannot write the report %1: %2").arg(path, file.errorString()));
}

void showRows(const std::vector<EnrolRow>& rows, const Output& out)
{
    for (std::size_t at = 0; at < rows.size(); ++at) {
        const EnrolRow& row = rows[at];
        const bool fine = row.state == EnrolState::Succeeded || row.state == EnrolState::Skipped;
        if (fine && !out.json())
            continue;
        out.result(
            QStringLiteral("row %1 (%2): %3 %4")
                .arg(at + 1)
                .arg((row.id + QLatin1Char(' ') + row.name).trimmed(), EnrolStateText(row.state), row.note)
                .trimmed(),
            {{"row", at + 1},
             {"id", JsonString(row.id)},
             {"name", JsonString(row.name)},
             {"photo", JsonString(row.photo)},
             {"state", stateKey(row.state)},
             {"note", JsonString(row.note)}});
    }
}

int run(const QCommandLineParser& parser, Output& out)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        throw UsageError(QStringLiteral("enrol wants CSV and PHOTO_DIR"));
    const EnrolMode mode = modeFrom(parser);
    TerminalLink link(parser);
    std::vector<EnrolRow> rows = readSheet(positional[0], positional[1]);

    EnrolSettings settings{link.connection, link.password, mode, parser.isSet(QStringLiteral("easy-way"))};
    BulkEnrolment enrolment(settings, link.client);
    const auto importable =
        std::count_if(rows.begin(), rows.end(), [](const EnrolRow& row) { return row.importable(); });
    {
        Progress progress(QStringLiteral("enrol"));
        qint64 done = 0;
        const OnInterrupt stop([&enrolment] { enrolment.cancel(); });
        enrolment.run(rows, [&](std::size_t, const EnrolRow&) {
            progress.show(++done, importable);
            link.tally();
        });
    }
    link.tally();

    int status = kSucceeded;
    if (!parser.value(QStringLiteral("report")).isEmpty()) {
        try {
            writeReport(parser.value(QStringLiteral("report")), rows);
        } catch (const Failure& failure) {
            out.complain(failure.text());
            status = kItemFailed;
        }
    }
    showRows(rows, out);
    std::map<EnrolState, int> counts;
    for (const EnrolRow& row : rows)
        ++counts[row.state];
    nlohmann::ordered_json summary{{"rows", rows.size()}};
    QStringList parts;
    for (EnrolState state : {EnrolState::Succeeded, EnrolState::Skipped, EnrolState::Invalid,
                             EnrolState::Failed, EnrolState::Cancelled}) {
        summary[stateKey(state)] = counts[state];
        parts << QStringLiteral("%1 %2").arg(counts[state]).arg(QLatin1String(stateKey(state)));
    }
    out.result(QStringLiteral("%1 rows: ").arg(rows.size()) + parts.join(QStringLiteral(", ")),
               {{"summary", summary}});

    if (link.unreachable()) {
        out.complain(link.unreachableText());
        return kUnreachable;
    }
    if (InterruptWatch::requested())
        out.complain(QStringLiteral("interrupted: %1 rows not imported").arg(counts[EnrolState::Cancelled]));
    else if (counts[EnrolState::Invalid] + counts[EnrolState::Failed] > 0)
        out.complain(QStringLiteral("%1 rows invalid, %2 failed")
                         .arg(counts[EnrolState::Invalid])
                         .arg(counts[EnrolState::Failed]));
    const bool allFine = counts[EnrolState::Succeeded] + counts[EnrolState::Skipped] == int(rows.size());
    return allFine ? status : kItemFailed;
}

} // namespace

extern const Subcommand kEnrolSubcommand{
    "enrol",
    "enrol CSV PHOTO_DIR --ip IP [--password P] [--mode skip|overwrite] [--easy-way] [--report FILE] "
    "[--json]",
    "imports persons and their faces from a CSV, with the window's checks, retries and result CSV", declare,
    run};
