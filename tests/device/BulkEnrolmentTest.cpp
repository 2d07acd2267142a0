#include "device/BulkEnrolment.h"
#include "support/FakeTerminal.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray kNetwork = "127.0.40.";

TerminalReply json(const char* text)
{
    return TerminalReply::json(QString::fromUtf8(text));
}

const char* kOk = R"({"success":true})";
const char* kNoPerson = R"({"success":false,"msg":"人员不存在"})";
const char* kFound = R"({"success":true,"data":{"id":"7"}})";

struct Case
{
    const char* name;
    EnrolMode mode;
    bool withValidity;
    std::vector<TerminalReply> replies;
    std::vector<QByteArray> paths;
    EnrolState state;
    const char* note;
};

class BulkEnrolmentTest : public ::testing::Test
{
protected:
    EnrolRow row(bool withValidity)
    {
        EnrolRow row;
        row.id = "7";
        row.name = QStringLiteral("张三");
        row.card = "C7";
        if (withValidity)
            row.validUntil = QDateTime(QDate(2030, 1, 2), QTime(23, 59, 59));
        row.photo = "7.jpg";
        row.photoFile = writeTestFile(folder.filePath("7.jpg"), jpegBytes(8, 8, Qt::red));
        return row;
    }

    std::vector<QByteArray> paths(const FakeTerminal& terminal)
    {
        std::vector<QByteArray> sent;
        for (const RecordedRequest& request : terminal.requests())
            sent.push_back(request.target.split('?').front());
        return sent;
    }

    EnrolSettings settings(const FakeTerminal& terminal, EnrolMode mode)
    {
        EnrolSettings settings{{terminal.host(), terminal.port()}, "58104726", mode, true};
        settings.retryWaits = {std::chrono::milliseconds(10), std::chrono::milliseconds(30)};
        return settings;
    }

    QTemporaryDir folder;
    HttpClient client{"application/x-www-form-urlencoded"};
};

} // namespace

TEST_F(BulkEnrolmentTest, EachRowSendsWhatItsAnswersCallFor)
{
    const Case cases[] = {
        {"new person with validity, a lost reply retried",
         EnrolMode::Skip,
         true,
         {json(kNoPerson), json(kOk), TerminalReply::status(503, "Busy"), json(kOk), json(kOk)},
         {"/person/find", "/person/create", "/person/permissionsCreate", "/person/permissionsCreate",
          "/face"},
         EnrolState::Succeeded,
         ""},
        {"present person skipped",
         EnrolMode::Skip,
         true,
         {json(kFound)},
         {"/person/find"},
         EnrolState::Skipped,
         ""},
        {"present person overwritten",
         EnrolMode::Overwrite,
         false,
         {json(kFound), json(kOk), json(kOk)},
         {"/person/find", "/person/update", "/face/update"},
         EnrolState::Succeeded,
         ""},
        {"refused create ends the row",
         EnrolMode::Skip,
         true,
         {json(kNoPerson), json(R"({"success":false,"msg":"人员ID已存在"})")},
         {"/person/find", "/person/create"},
         EnrolState::Failed,
         "创建人员: 人员ID已存在"},
        {"refused validity, the face still goes; a reply that is no JSON is final",
         EnrolMode::Skip,
         true,
         {json(kNoPerson), json(kOk), json(R"({"success":false,"msg":"有效期时间无效"})"),
          TerminalReply::status(200, "OK", "<html>")},
         {"/person/find", "/person/create", "/person/permissionsCreate", "/face"},
         EnrolState::Failed,
         "设置有效期: 有效期时间无效；创建人脸: 回复不是 JSON: <html>"},
        {"three lost replies fail the find",
         EnrolMode::Skip,
         false,
         {TerminalReply::hangUp(), TerminalReply::hangUp(), TerminalReply::hangUp()},
         {"/person/find", "/person/find", "/person/find"},
         EnrolState::Failed,
         "查询人员: "},
    };
    quint8 octet = 1;
    for (const Case& test : cases) {
        FakeTerminal terminal(octet++, 8090, kNetwork);
        for (const TerminalReply& reply : test.replies)
            terminal.then(reply);
        std::vector<EnrolRow> rows{row(test.withValidity)};
        BulkEnrolment(settings(terminal, test.mode), client).run(rows, {});
        EXPECT_EQ(paths(terminal), test.paths) << test.name;
        EXPECT_EQ(rows[0].state, test.state) << test.name;
        const QString note = QString::fromUtf8(test.note);
        EXPECT_EQ(rows[0].note.left(note.size()), note) << test.name;
    }
}

TEST_F(BulkEnrolmentTest, ARetryStartsAtTheFailedCommandAndSendsNoSucceededOneAgain)
{
    FakeTerminal terminal(20, 8090, kNetwork);
    terminal.then(json(kNoPerson)).then(json(kOk)).then(json(R"({"success":false,"msg":"人脸质量不合格"})"));
    std::vector<EnrolRow> rows{row(false)};
    BulkEnrolment(settings(terminal, EnrolMode::Skip), client).run(rows, {});
    EXPECT_EQ(rows[0].note, QStringLiteral("创建人脸: 人脸质量不合格"));

    BulkEnrolment(settings(terminal, EnrolMode::Skip), client).run(rows, {});
    EXPECT_EQ(paths(terminal), (std::vector<QByteArray>{"/person/find", "/person/create", "/face", "/face"}));
    EXPECT_EQ(rows[0].state, EnrolState::Succeeded);
    const QByteArray face = terminal.lastRequest().body;
    EXPECT_TRUE(face.startsWith("pass=58104726&personId=7&faceId=7&base64=")) << face.left(60).toStdString();
    EXPECT_TRUE(face.endsWith("&isEasyWay=true"));
}

TEST_F(BulkEnrolmentTest, ACancelEndsAfterTheCommandUnderWayAndNamesWhatWasDone)
{
    FakeTerminal terminal(21, 8090, kNetwork);
    terminal.setDefaultReply(json(kOk));
    terminal.then(json(kNoPerson)).then(json(kOk)).then(TerminalReply::status(500, "Down"));
    std::vector<EnrolRow> rows{row(false), row(false), row(false)};
    rows[1].id = "8";
    BulkEnrolment enrolment(settings(terminal, EnrolMode::Skip), client);
    // The face's transfer fails, and the cancel comes during the wait for its retry.
    terminal.then(TerminalReply::status(500, "Down").beforeAnswer([&] { enrolment.cancel(); }));
    std::vector<std::size_t> reported;
    enrolment.run(rows, [&](std::size_t index, const EnrolRow&) { reported.push_back(index); });
    EXPECT_EQ(reported, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(paths(terminal), (std::vector<QByteArray>{"/person/find", "/person/create", "/face", "/face"}));
    for (const EnrolRow& done : rows)
        EXPECT_EQ(done.state, EnrolState::Cancelled);
    EXPECT_EQ(rows[0].note, QStringLiteral("已完成: 查询人员、创建人员"));
    EXPECT_EQ(rows[1].note, QString());
}
