// A record query whose reply lists 1,000 records with new 20 KB photos, fetched
// from a loopback FTP server, next to the curl tool fetching the same files in
// one process; also the same photos with one login each, curl without the
// NOOP workaround, and a repeated query whose photos are all present.
#include "device/CommandEnvelope.h"
#include "device/RecordCommands.h"
#include "support/FakeTerminal.h"
#include "support/FtpServerFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int kRecords = 1000;
constexpr int kPhotoBytes = 20 * 1024;
constexpr int kRounds = 3;
constexpr int kPlainCurlFiles = 50;
constexpr const char* kAddress = "127.0.11.200";
// No single run may take longer than this.
constexpr int kRunLimitMs = 120000;

QString photoName(int record)
{
    return QString::asprintf("%04d.jpg", record + 1);
}

QString queryReply()
{
    QString records;
    for (int record = 0; record < kRecords; ++record) {
        if (record > 0)
            records += ',';
        records += QString(R"({\"time\":\"r%1\",\"path\":\"/sdcard/IdentifyRecords/day/%2\"})")
                       .arg(record + 1, 4, 10, QChar('0'))
                       .arg(photoName(record));
    }
    return R"({"success":true,"data":"{\"records\":[)" + records + R"(]}"})";
}

// Files in the folder holding exactly the photo's size.
int completePhotos(const QString& folder)
{
    int count = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
        count += file.size() == kPhotoBytes ? 1 : 0;
    return count;
}

// The curl tool fetching the first count photos in one process over one
// connection; with noop it sends the NOOP that the tool's own fetches send on
// an open connection.
bool runCurl(const QString& folder, int count, bool noop)
{
    QDir().mkpath(folder);
    QStringList arguments{"--silent", "--show-error", "--disable-epsv", "--user", "admin:58104726"};
    if (noop)
        arguments << "--quote"
                  << "NOOP";
    arguments << "--output" << folder + "/#1.jpg"
              << QString("ftp://%1:8010/IdentifyRecords/day/[0001-%2].jpg")
                     .arg(kAddress)
                     .arg(count, 4, 10, QChar('0'));
    QProcess tool;
    tool.start("curl", arguments);
    if (!tool.waitForFinished(kRunLimitMs)) {
        tool.kill();
        tool.waitForFinished();
        return false;
    }
    return tool.exitCode() == 0 && completePhotos(folder) == count;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // A smaller count for a quick look: record_photo_bench 100
    if (argc > 1)
        kRecords = std::clamp(QString(argv[1]).toInt(), 1, 1000);
    FtpServerFixture ftp(kAddress);
    QByteArray photo(kPhotoBytes, '\0');
    for (int i = 0; i < kPhotoBytes; ++i)
        photo[i] = char(i * 31 + 7);
    for (int record = 0; record < kRecords; ++record)
        FtpServerFixture::putFile(ftp.userRoot(), "IdentifyRecords/day/" + photoName(record), photo);

    FakeTerminal terminal(200, 8090, "127.0.11.");
    terminal.setDefaultReply(TerminalReply::json(queryReply()));
    const DeviceConnection connection{terminal.host(), 8090};
    const FtpLogin login{true, "admin", "58104726"};
    const RecordQueryFields fields{"58104726", "1000", "0", true, QDate(2019, 6, 29), QDate(2019, 6, 29)};
    const QString queryText = RecordQueryText(fields);
    HttpClient client(kFormContentType);
    client.setTimeoutMs(5000);

    std::vector<double> query, present, perLogin, curl;
    bool complete = true;
    for (int round = 0; round < kRounds; ++round) {
        QTemporaryDir folder;
        const RecordPhotoSource photos{kAddress, login, folder.filePath("pic")};
        FtpClient ftpClient;
        QElapsedTimer timer;
        timer.start();
        QueryRecords(queryText, photos, connection, client, ftpClient);
        query.push_back(timer.elapsed());
        std::fprintf(stderr, "round %d: query %.0f ms\n", round + 1, query.back());
        complete &= completePhotos(photos.photoFolder) == kRecords;

        timer.restart();
        QueryRecords(queryText, photos, connection, client, ftpClient);
        present.push_back(timer.elapsed());

        // As the tool once did: a fresh login for every photo.
        const RecordPage page = QueryRecordPage(queryText, connection, client);
        const QString fresh = folder.filePath("fresh");
        QDir().mkpath(fresh);
        timer.restart();
        for (const RecordPhoto& record : page.records) {
            ftpClient.startBatch();
            FetchPhotoFtp(ftpClient, kAddress, "IdentifyRecords", record.path,
                          QDir(fresh).filePath(record.time + ".jpg"), login);
        }
        perLogin.push_back(timer.elapsed());
        std::fprintf(stderr, "round %d: a login per photo %.0f ms\n", round + 1, perLogin.back());
        complete &= completePhotos(fresh) == kRecords;

        const QString curlFolder = folder.filePath("curl");
        timer.restart();
        complete &= runCurl(curlFolder, kRecords, true);
        curl.push_back(timer.elapsed());
    }
    // Without the NOOP the tool stalls for a second on many transfers, so only a
    // few files, once.
    QTemporaryDir plainFolder;
    QElapsedTimer plainTimer;
    plainTimer.start();
    const int plainCount = std::min(kRecords, kPlainCurlFiles);
    runCurl(plainFolder.filePath("curl"), plainCount, false);
    const double plainCurl = plainTimer.elapsed();

    std::printf("record query, %d records with new %d KB photos over loopback FTP (median of %d rounds)\n",
                kRecords, kPhotoBytes / 1024, kRounds);
    std::printf("  query + fetches, one connection:   %8.0f ms  (%.2f ms a photo)\n", median(query),
                median(query) / kRecords);
    std::printf("  curl tool + NOOP, one process:      %7.0f ms  (%.2f ms a photo)\n", median(curl),
                median(curl) / kRecords);
    std::printf("  ratio query / curl:                 %7.2f\n", median(query) / median(curl));
    std::printf("  fetches with a login per photo:     %7.0f ms  (ratio to curl %.2f)\n", median(perLogin),
                median(perLogin) / median(curl));
    std::printf("  curl tool without the NOOP, %d files: %5.0f ms  (%.2f ms a photo)\n", plainCount,
                plainCurl, plainCurl / plainCount);
    std::printf("  repeated query, all photos present: %7.0f ms\n", median(present));
    std::printf("  every photo stored complete:        %s\n", complete ? "yes" : "NO");
    return complete ? 0 : 1;
}
