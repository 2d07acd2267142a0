#include "common/TextCodec.h"
#include "device/CommandEnvelope.h"
#include "device/PersonCommands.h"
#include "support/FakeTerminal.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

PersonFields defaults()
{
    PersonFields fields;
    fields.password = "58104726";
    fields.empId = "10050";
    fields.empName = QStringLiteral("测试");
    fields.cardId = "00000065";
    fields.validDate = QDateTime(QDate(2019, 6, 29), QTime(8, 45, 35));
    fields.slotTimes = {"08:00:00", "10:00:00", "11:00:00", "13:00:00", "15:00:00", "18:00:00"};
    return fields;
}

// The form encoding of the terminal, for readable expectations.
QByteArray form(const QByteArray& bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out += c;
        else if (c == ' ')
            out += '+';
        else
            out += '%' + QByteArray::number(uchar(c), 16).toUpper().rightJustified(2, '0');
    }
    return out;
}

struct Case
{
    const char* name;
    PersonCommand command;
    std::function<void(PersonFields&)> change;
    QByteArray requestLine;
    QByteArray body;
};

} // namespace

TEST(PersonCommands, EachCommandSendsItsRequestAndLogsTheReplyAsItComes)
{
    FakeTerminal terminal(30, 8090, "127.0.11.");
    const DeviceConnection connection{terminal.host(), 8090};
    const QByteArray createObject = "{\"id\":\"10050\",\"idcardNum\":\"00000065\",\"name\":\"" +
                                    QStringLiteral("测试").toUtf8() +
                                    "\",\"IDNumber\":\"00000065\",\"tag\":\"XD888\"}";
    const QByteArray updateObject =
        "{\"id\":\"10050\",\"idcardNum\":\"00000065\",\"name\":\"" + QStringLiteral("测试").toUtf8() + "\"}";
    const auto none = [](PersonFields&) {};
    const auto noId = [](PersonFields& f) { f.empId.clear(); };
    const auto noPass = [](PersonFields& f) { f.password.clear(); };
    const Case cases[] = {
        {"create", PersonCommand::Create, none, "POST /person/create HTTP/1.0",
         "pass=58104726&person=" + form(createObject)},
        {"create, id empty", PersonCommand::Create, noId, "POST /person/create HTTP/1.0",
         "pass=58104726&person=" + form(QByteArray(createObject).replace("\"10050\"", "\"\""))},
        {"update: card as typed", PersonCommand::Update,
         [](PersonFields& f) { f.cardId = QStringLiteral("卡1"); }, "POST /person/update HTTP/1.0",
         "pass=58104726&person=" +
             form(QByteArray(updateObject).replace("00000065", TextCodec::toGbk("卡1")))},
        {"update, quote in name", PersonCommand::Update, [](PersonFields& f) { f.empName = "a\"b"; },
         "POST /person/update HTTP/1.0",
         "pass=58104726&person=" + form(R"({"id":"10050","idcardNum":"00000065","name":"a"b"})")},
        {"delete", PersonCommand::Delete, none, "POST /person/delete HTTP/1.0", "pass=58104726&id=10050"},
        {"delete, id empty", PersonCommand::Delete, noId, "POST /person/delete HTTP/1.0", "pass=58104726"},
        {"find", PersonCommand::Find, none, "GET /person/find?id=10050&pass=58104726 HTTP/1.1", ""},
        {"find, no password", PersonCommand::Find, noPass, "GET /person/find?id=10050&pass= HTTP/1.1", ""},
        {"find, values encoded", PersonCommand::Find, [](PersonFields& f) { f.empId = "a b&c"; },
         "GET /person/find?id=a%20b%26c&pass=58104726 HTTP/1.1", ""},
        {"find by page", PersonCommand::FindByPage, none,
         "GET /person/findByPage?pass=58104726&personId=10050&length=1000&index=0 HTTP/1.1", ""},
        {"validity", PersonCommand::PermissionsCreate, none, "POST /person/permissionsCreate HTTP/1.0",
         "pass=58104726&personId=10050&time=2019%2D06%2D29+08%3A45%3A35"},
        {"validity, other date", PersonCommand::PermissionsCreate,
         [](PersonFields& f) { f.validDate.setDate(QDate(2024, 3, 5)); },
         "POST /person/permissionsCreate HTTP/1.0",
         "pass=58104726&personId=10050&time=2024%2D03%2D05+08%3A45%3A35"},
        {"validity, id empty", PersonCommand::PermissionsCreate, noId,
         "POST /person/permissionsCreate HTTP/1.0", "pass=58104726&time=2019%2D06%2D29+08%3A45%3A35"},
        {"validity delete, id empty", PersonCommand::PermissionsDelete, noId,
         "POST /person/permissionsDelete HTTP/1.0", "pass=58104726"},
        {"time slots", PersonCommand::CreatePasstime, none, "POST /person/createPasstime HTTP/1.0",
         "pass=58104726&passtime=" +
             form(
                 R"({"personId":"10050","passtime":"08:00:00,10:00:00,11:00:00,13:00:00,15:00:00,18:00:00"})")},
        {"time slots, id empty", PersonCommand::CreatePasstime, noId, "POST /person/createPasstime HTTP/1.0",
         "pass=58104726&passtime=" +
             form(R"({"personId":"","passtime":"08:00:00,10:00:00,11:00:00,13:00:00,15:00:00,18:00:00"})")},
        {"time slots delete, no password", PersonCommand::DeletePasstime, noPass,
         "POST /person/deletePasstime HTTP/1.0", "personId=10050"},
    };
    const QString reply = QStringLiteral(R"({"success":false,"msg":"人员不存在"})");
    HttpClient client(kFormContentType);
    for (const Case& c : cases) {
        PersonFields fields = defaults();
        c.change(fields);
        terminal.then(TerminalReply::json(reply));
        const CommandLog log = RunPersonCommand(c.command, fields, connection, client);
        const RecordedRequest request = terminal.lastRequest();
        EXPECT_EQ(request.requestLine, c.requestLine) << c.name;
        EXPECT_EQ(request.body, c.body) << c.name;
        QStringList expected{reply};
        if (c.command == PersonCommand::CreatePasstime)
            expected.prepend("08:00:00,10:00:00,11:00:00,13:00:00,15:00:00,18:00:00");
        EXPECT_EQ(log.lines, expected) << c.name;
        EXPECT_FALSE(log.error) << c.name;
    }
}

TEST(PersonCommands, EmptySlotsGiveFiveCommasAndATransferErrorGoesToTheErrorBox)
{
    PersonFields fields = defaults();
    fields.slotTimes = {};
    HttpClient client(kFormContentType);
    // Nothing listens there: the list is logged, then the error ends the click.
    const CommandLog log =
        RunPersonCommand(PersonCommand::CreatePasstime, fields, {"127.0.11.31", 8090}, client);
    EXPECT_EQ(log.lines, QStringList{",,,,,"});
    EXPECT_TRUE(log.error);

    FakeTerminal terminal(32, 8090, "127.0.11.");
    terminal.then(TerminalReply::status(500, "Internal Server Error", "{}"));
    const CommandLog failed =
        RunPersonCommand(PersonCommand::Delete, defaults(), {terminal.host(), 8090}, client);
    EXPECT_TRUE(failed.lines.isEmpty());
    ASSERT_TRUE(failed.error);
    EXPECT_TRUE(failed.error->contains("500")) << failed.error->toStdString();
}
