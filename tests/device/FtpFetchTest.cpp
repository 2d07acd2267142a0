#include "device/FtpFetch.h"
#include "support/FtpServerFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace {

const FtpLogin kAccount{true, "admin", "58104726"};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray photo(int size, char seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i * 7);
    return bytes;
}

} // namespace

TEST(RemotePhotoName, TakesWhatFollowsTheDirectoryAndItsSeparator)
{
    const struct
    {
        const char* directory;
        const char* path;
        const char* name;
    } cases[] = {
        {"RegisterPhoto", "/mnt/sdcard/RegisterPhoto/10050.jpg", "10050.jpg"},
        {"IdentifyRecords", "/sdcard/IdentifyRecords/day/photo.jpg", "day/photo.jpg"},
        {"IdentifyRecords", "IdentifyRecords\\a.jpg", "a.jpg"},
        // Without the directory, as many leading characters are dropped.
        {"RegisterPhoto", "abcdefghijklmnopq.jpg", "opq.jpg"},
        {"RegisterPhoto", "short", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RemotePhotoName(c.directory, c.path), c.name) << c.path;
}

TEST(FtpFetch, StoresThePhotoByteForByteAndReplacesAnOlderFile)
{
    FtpServerFixture ftp("127.0.11.10");
    const QByteArray bytes = photo(20000, 3);
    FtpServerFixture::putFile(ftp.userRoot(), "RegisterPhoto/7.jpg", bytes);
    QTemporaryDir local;
    const QString target = local.filePath("10050.jpg");
    writeFile(target, "old");

    FtpClient client;
    EXPECT_TRUE(
        FetchPhotoFtp(client, ftp.host(), "RegisterPhoto", "/data/RegisterPhoto/7.jpg", target, kAccount));
    EXPECT_EQ(readFile(target), bytes);
    EXPECT_EQ(QDir(local.path()).entryList(QDir::Files), QStringList{"10050.jpg"});
    ftp.settle();
    const QStringList commands = ftp.commands();
    EXPECT_TRUE(commands.contains("USER admin"));
    EXPECT_TRUE(commands.contains("TYPE I"));
    EXPECT_TRUE(commands.contains("PASV"));
    EXPECT_TRUE(commands.contains("CWD RegisterPhoto"));
    EXPECT_TRUE(commands.contains("RETR 7.jpg"));
    EXPECT_EQ(ftp.logins(), QStringList{"admin"});
}

TEST(FtpFetch, UncheckedPasswordBoxLogsInAnonymouslyWithAnEmptyPassword)
{
    FtpServerFixture ftp("127.0.11.11");
    FtpServerFixture::putFile(ftp.anonymousRoot(), "RegisterPhoto/7.jpg", "anonymous photo");
    FtpServerFixture::putFile(ftp.userRoot(), "RegisterPhoto/7.jpg", "account photo");
    QTemporaryDir local;
    FtpClient client;
    EXPECT_TRUE(FetchPhotoFtp(client, ftp.host(), "RegisterPhoto", "RegisterPhoto/7.jpg",
                              local.filePath("7.jpg"), {false, "admin", "58104726"}));
    EXPECT_EQ(readFile(local.filePath("7.jpg")), "anonymous photo");
    ftp.settle();
    EXPECT_EQ(ftp.logins(), QStringList{"anonymous"});
    const QStringList commands = ftp.commands();
    EXPECT_TRUE(commands.contains("USER anonymous"));
    EXPECT_TRUE(commands.contains("PASS") || commands.contains("PASS ")) << commands.join('|').toStdString();
}

TEST(FtpFetch, FailedFetchesLeaveNoFileAndKeepAnOlderOne)
{
    FtpServerFixture ftp("127.0.11.12");
    FtpServerFixture::putFile(ftp.userRoot(), "IdentifyRecords/day/a.jpg", "A");
    QTemporaryDir local;
    const struct
    {
        const char* name;
        QString host;
        const char* path;
        FtpLogin login;
        QString target;
    } cases[] = {
        {"missing file", ftp.host(), "IdentifyRecords/day/none.jpg", kAccount, local.filePath("1.jpg")},
        {"wrong password",
         ftp.host(),
         "IdentifyRecords/day/a.jpg",
         {true, "admin", "bad"},
         local.filePath("2.jpg")},
        {"no server", "127.0.11.13", "IdentifyRecords/day/a.jpg", kAccount, local.filePath("3.jpg")},
        {"folder missing", ftp.host(), "IdentifyRecords/day/a.jpg", kAccount, local.filePath("none/4.jpg")},
        {"directory named", ftp.host(), "IdentifyRecords/day/", kAccount, local.filePath("5.jpg")},
        {"host with a user part", "x@" + ftp.host(), "IdentifyRecords/day/a.jpg", kAccount,
         local.filePath("6.jpg")},
    };
    for (const auto& c : cases) {
        FtpClient client;
        EXPECT_FALSE(FetchPhotoFtp(client, c.host, "IdentifyRecords", c.path, c.target, c.login)) << c.name;
    }
    EXPECT_TRUE(QDir(local.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    writeFile(local.filePath("old.jpg"), "old");
    FtpClient client;
    EXPECT_FALSE(FetchPhotoFtp(client, ftp.host(), "IdentifyRecords", "IdentifyRecords/day/none.jpg",
                               local.filePath("old.jpg"), kAccount));
    EXPECT_EQ(readFile(local.filePath("old.jpg")), "old");
    EXPECT_EQ(QDir(local.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.jpg"});
}

TEST(FtpFetch, OneBatchUsesOneConnectionAndANewBatchLogsInAgain)
{
    FtpServerFixture ftp("127.0.11.14");
    for (const char* name : {"a", "b", "c"})
        FtpServerFixture::putFile(ftp.userRoot(), QString("IdentifyRecords/day/%1.jpg").arg(name), name);
    QTemporaryDir local;
    FtpClient client;
    client.startBatch();
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_TRUE(FetchPhotoFtp(client, ftp.host(), "IdentifyRecords",
                                  QString("/x/IdentifyRecords/day/%1.jpg").arg(name),
                                  local.filePath(QString(name) + ".jpg"), kAccount));
        EXPECT_EQ(readFile(local.filePath(QString(name) + ".jpg")), name);
    }
    ftp.settle();
    EXPECT_EQ(ftp.connections(), 1);
    EXPECT_EQ(ftp.commands().count("CWD IdentifyRecords"), 1);
    EXPECT_EQ(ftp.downloads(), 3);

    client.startBatch();
    EXPECT_TRUE(FetchPhotoFtp(client, ftp.host(), "IdentifyRecords", "IdentifyRecords/day/a.jpg",
                              local.filePath("again.jpg"), kAccount));
    ftp.settle();
    EXPECT_EQ(ftp.connections(), 2);
}

TEST(FtpFetch, ALostConnectionInABatchIsReplacedAndTheDirectoryEnteredAgain)
{
    QTemporaryDir local;
    FtpClient client;
    client.startBatch();
    {
        FtpServerFixture ftp("127.0.11.15");
        FtpServerFixture::putFile(ftp.userRoot(), "IdentifyRecords/day/a.jpg", "first");
        EXPECT_TRUE(FetchPhotoFtp(client, ftp.host(), "IdentifyRecords", "IdentifyRecords/day/a.jpg",
                                  local.filePath("a.jpg"), kAccount));
    }
    FtpServerFixture ftp("127.0.11.15");
    FtpServerFixture::putFile(ftp.userRoot(), "IdentifyRecords/day/b.jpg", "second");
    // A file of the same name at the login folder must not be taken for the photo.
    FtpServerFixture::putFile(ftp.userRoot(), "day/b.jpg", "wrong place");
    EXPECT_TRUE(FetchPhotoFtp(client, ftp.host(), "IdentifyRecords", "IdentifyRecords/day/b.jpg",
                              local.filePath("b.jpg"), kAccount));
    EXPECT_EQ(readFile(local.filePath("b.jpg")), "second");
}

TEST(FtpFetch, ASilentServerEndsTheFetchAfterItsTimeOut)
{
    // A listener that accepts connections in the kernel but never greets.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(kFtpPort);
    ::inet_pton(AF_INET, "127.0.11.16", &at.sin_addr);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(listener, 4), 0);

    QTemporaryDir local;
    FtpClient client;
    client.setTimeouts(1, 1);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(FetchPhotoFtp(client, "127.0.11.16", "RegisterPhoto", "RegisterPhoto/7.jpg",
                               local.filePath("7.jpg"), kAccount));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));
    EXPECT_FALSE(QFile::exists(local.filePath("7.jpg")));
    ::close(listener);
}

TEST(FtpFetch, ACancelledClientFetchesNothingUntilRearmed)
{
    FtpServerFixture ftp("127.0.11.17");
    FtpServerFixture::putFile(ftp.userRoot(), "RegisterPhoto/7.jpg", "7");
    QTemporaryDir local;
    FtpClient client;
    client.cancel();
    EXPECT_FALSE(FetchPhotoFtp(client, ftp.host(), "RegisterPhoto", "RegisterPhoto/7.jpg",
                               local.filePath("7.jpg"), kAccount));
    EXPECT_FALSE(QFile::exists(local.filePath("7.jpg")));
    client.rearm();
    EXPECT_TRUE(FetchPhotoFtp(client, ftp.host(), "RegisterPhoto", "RegisterPhoto/7.jpg",
                              local.filePath("7.jpg"), kAccount));
}
