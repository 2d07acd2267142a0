#include "common/PictureBase64.h"
#include "device/CommandEnvelope.h"
#include "device/FaceCommands.h"
#include "device/FormFields.h"
#include "support/FakeTerminal.h"
#include "support/TestFiles.h"
#include "support/FtpServerFixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray jpegBytes()
{
    return ::jpegBytes(16, 12, Qt::darkCyan);
}

FaceFields defaults()
{
    FaceFields fields;
    fields.password = "58104726";
    fields.empId = "10050";
    fields.faceId = "10050";
    fields.photo = Picture::fromBytes(jpegBytes(), "test photo");
    return fields;
}

struct Case
{
    const char* name;
    FaceCommand command;
    std::function<void(FaceFields&)> change;
    QByteArray requestLine;
    QByteArray body;
};

} // namespace

TEST(FaceCommands, EachCommandSendsItsFormAndLogsTheReply)
{
    FakeTerminal terminal(40, 8090, "127.0.11.");
    const QByteArray base64 = encodeFormValue(toBase64Lines(jpegBytes()).toLatin1());
    const auto none = [](FaceFields&) {};
    const Case cases[] = {
        {"register", FaceCommand::Register, none, "POST /face HTTP/1.0",
         "pass=58104726&personId=10050&faceId=10050&base64=" + base64 + "&isEasyWay=false"},
        {"register with url, easy way", FaceCommand::Register,
         [](FaceFields& f) {
             f.faceUrl = "http://a/b.jpg";
             f.easyWay = true;
         },
         "POST /face HTTP/1.0",
         "pass=58104726&personId=10050&faceId=10050&url=http%3A%2F%2Fa%2Fb%2Ejpg&base64=" + base64 +
             "&isEasyWay=true"},
        {"update", FaceCommand::Update, [](FaceFields& f) { f.faceId = "7"; }, "POST /face/update HTTP/1.0",
         "pass=58104726&personId=10050&faceId=7&imgBase64=" + base64},
        {"take photo", FaceCommand::TakePhoto, none, "POST /face/takeImg HTTP/1.0",
         "pass=58104726&personId=10050"},
        {"delete sends the person ID", FaceCommand::Delete, [](FaceFields& f) { f.faceId = "999"; },
         "POST /face/delete HTTP/1.0", "pass=58104726&faceId=10050"},
    };
    HttpClient client(kFormContentType);
    for (const Case& c : cases) {
        FaceFields fields = defaults();
        c.change(fields);
        terminal.then(TerminalReply::json(R"({"success":true})"));
        const CommandLog log = RunFaceCommand(c.command, fields, {terminal.host(), 8090}, client);
        EXPECT_EQ(terminal.lastRequest().requestLine, c.requestLine) << c.name;
        EXPECT_EQ(terminal.lastRequest().body, c.body) << c.name;
        EXPECT_EQ(log.lines, QStringList{R"({"success":true})"}) << c.name;
    }
}

TEST(FaceCommands, RegistrationAndUpdateNeedAPhotoTheOthersDoNot)
{
    EXPECT_EQ(MissingPhotoMessage(FaceCommand::Register, {}), QStringLiteral("请先选择照片"));
    EXPECT_EQ(MissingPhotoMessage(FaceCommand::Update, {}), QStringLiteral("照片为空"));
    EXPECT_FALSE(MissingPhotoMessage(FaceCommand::TakePhoto, {}));
    EXPECT_FALSE(MissingPhotoMessage(FaceCommand::Delete, {}));
    EXPECT_FALSE(MissingPhotoMessage(FaceCommand::Register, defaults().photo));
}

TEST(PhotoQuery, OutcomeLinesOfRepliesThatNameNoPhoto)
{
    FakeTerminal terminal(41, 8090, "127.0.11.");
    const QString host = terminal.host();
    const std::pair<const char*, QString> cases[] = {
        {"not json", host + QStringLiteral("查询失败2")},
        {R"({"data":[{"path":"RegisterPhoto/1.jpg"}]})", host + QStringLiteral("查询照片异常")},
        {R"({"success":false,"msg":"x"})", host + QStringLiteral("查询照片失败")},
        {R"({"success":true})", host + QStringLiteral("查询失败1")},
        {R"({"success":true,"data":[]})", host + QStringLiteral("查询失败1")},
        {R"({"success":true,"data":"RegisterPhoto/1.jpg"})", host + QStringLiteral("查询失败1")},
        {R"({"success":true,"data":[{"name":"1"}]})", host + QStringLiteral("查询失败1")},
    };
    QTemporaryDir folder;
    HttpClient client(kFormContentType);
    FtpClient ftp;
    for (const auto& [reply, line] : cases) {
        terminal.then(TerminalReply::json(reply));
        const PhotoQueryResult result =
            QueryFacePhoto({"58104726", "10050", "10050", {}, folder.path()}, {host, 8090}, client, ftp);
        EXPECT_EQ(result.log.lines, QStringList{line}) << reply;
        EXPECT_FALSE(result.photoFile) << reply;
    }
    EXPECT_EQ(terminal.lastRequest().requestLine, "POST /face/find HTTP/1.0");
    EXPECT_EQ(terminal.lastRequest().body, "pass=58104726&personId=10050");
}

TEST(PhotoQuery, FetchesThePhotoIntoTheFaceIdBesideTheProgram)
{
    FakeTerminal terminal(42, 8090, "127.0.11.");
    FtpServerFixture ftp(terminal.host().toLatin1());
    const QByteArray bytes = jpegBytes();
    FtpServerFixture::putFile(ftp.userRoot(), "RegisterPhoto/7.jpg", bytes);
    QTemporaryDir folder;
    {
        QFile older(folder.filePath("8.jpg"));
        ASSERT_TRUE(older.open(QIODevice::WriteOnly));
        older.write("older");
    }
    const char* reply = R"({"success":true,"data":[{"path":"/sdcard/RegisterPhoto/7.jpg"}]})";
    HttpClient client(kFormContentType);
    FtpClient ftpClient;
    const FtpLogin login{true, "admin", "58104726"};

    terminal.then(TerminalReply::json(reply));
    const PhotoQueryResult stored = QueryFacePhoto({"58104726", "10050", "8", login, folder.path()},
                                                   {terminal.host(), 8090}, client, ftpClient);
    EXPECT_EQ(stored.log.lines, QStringList{"path:/sdcard/RegisterPhoto/7.jpg"});
    ASSERT_TRUE(stored.photoFile);
    EXPECT_EQ(*stored.photoFile, folder.filePath("8.jpg"));
    QFile file(folder.filePath("8.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);

    // A face ID that would name a file elsewhere gets no fetch at all.
    for (const char* faceId : {"../x", "a/b", ""}) {
        terminal.then(TerminalReply::json(reply));
        const PhotoQueryResult refused = QueryFacePhoto({"58104726", "10050", faceId, login, folder.path()},
                                                        {terminal.host(), 8090}, client, ftpClient);
        EXPECT_EQ(refused.log.lines, QStringList{"path:/sdcard/RegisterPhoto/7.jpg"}) << faceId;
        EXPECT_FALSE(refused.photoFile) << faceId;
    }
    ftp.settle();
    EXPECT_EQ(ftp.connections(), 1);
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath("../x.jpg")));
}

TEST(PhotoQuery, AnUnreachableFtpServiceLeavesOnlyThePathLine)
{
    FakeTerminal terminal(43, 8090, "127.0.11.");
    terminal.then(TerminalReply::json(R"({"success":true,"data":[{"path":"RegisterPhoto/7.jpg"}]})"));
    QTemporaryDir folder;
    HttpClient client(kFormContentType);
    FtpClient ftp;
    const PhotoQueryResult result = QueryFacePhoto({"58104726", "10050", "10050", {}, folder.path()},
                                                   {terminal.host(), 8090}, client, ftp);
    EXPECT_EQ(result.log.lines, QStringList{"path:RegisterPhoto/7.jpg"});
    EXPECT_FALSE(result.photoFile);
    EXPECT_FALSE(result.log.error);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}
