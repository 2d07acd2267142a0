#include "device/HttpClient.h"
#include "support/SimulatorProcess.h"

#include <QDir>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <nlohmann/json.hpp>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A plain listening socket that keeps an address and port taken.
class TakenPort
{
public:
    TakenPort(const char* address, int port) : fd(socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in where = {};
        where.sin_family = AF_INET;
        where.sin_port = htons(static_cast<std::uint16_t>(port));
        inet_pton(AF_INET, address, &where.sin_addr);
        taken = bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && listen(fd, 1) == 0;
    }
    ~TakenPort() { close(fd); }
    bool taken = false;

private:
    int fd;
};

bool accepts(const char* address, int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in where = {};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, address, &where.sin_addr);
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0;
    close(fd);
    return connected;
}

int recordCount(const char* address)
{
    HttpClient client("application/x-www-form-urlencoded");
    client.setTimeoutMs(5000);
    const QByteArray reply = client.send(HttpClient::Method::Get,
                                         QStringLiteral("http://%1:8090/"
                                                        "newFindRecords?pass=58104726&personId=-1&startTime="
                                                        "0&endTime=0&length=10&model=-1&order=1&index=0")
                                             .arg(QString::fromLatin1(address)),
                                         {});
    return nlohmann::json::parse(reply.toStdString())["data"]["pageInfo"]["total"].get<int>();
}

} // namespace

TEST(SimulatorProgram, BadOptionsEndItWithAReasonAndStatus2)
{
    for (const QStringList& arguments :
         {QStringList{"--bogus"}, QStringList{"--address", "127.0.15.300"}, QStringList{"--records"}}) {
        QString errors;
        EXPECT_EQ(SimulatorProcess::run(arguments, nullptr, &errors), 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(errors.startsWith("quillmoor-terminal: ")) << errors.toStdString();
    }
    QString help;
    EXPECT_EQ(SimulatorProcess::run({"--help"}, &help), 0);
    for (const char* option : {"--address", "--password", "--records", "--data", "--callbacks-anywhere",
                               "--load", "--rate", "--seconds", "--server", "records N"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

TEST(SimulatorProgram, AnAddressItCannotBindEndsItWithStatus1)
{
    TakenPort http("127.0.15.30", 8090);
    ASSERT_TRUE(http.taken);
    SimulatorProcess blocked("127.0.15.30");
    EXPECT_FALSE(blocked.listening());
    EXPECT_EQ(blocked.interrupt(), 1);
    EXPECT_TRUE(blocked.errors().contains("cannot listen on 127.0.15.30:8090"))
        << blocked.errors().toStdString();
    EXPECT_FALSE(accepts("127.0.15.30", 8010)) << "its FTP service went with it";

    SimulatorProcess first("127.0.15.31");
    ASSERT_TRUE(first.listening()) << first.errors().toStdString();
    SimulatorProcess second("127.0.15.31");
    EXPECT_FALSE(second.listening());
    EXPECT_EQ(second.interrupt(), 1);
    EXPECT_TRUE(second.errors().contains("FTP")) << second.errors().toStdString();
}

TEST(SimulatorProgram, CtrlCEndsItAndRemovesWhatItMade)
{
    SimulatorProcess simulator("127.0.15.32", {"--records", "2"});
    ASSERT_TRUE(simulator.listening()) << simulator.errors().toStdString();
    const QRegularExpressionMatch folder =
        QRegularExpression(R"(\(folder ([^)]+)\))").match(simulator.output());
    ASSERT_TRUE(folder.hasMatch());
    EXPECT_TRUE(QDir(folder.captured(1) + "/IdentifyRecords").exists());
    EXPECT_EQ(recordCount("127.0.15.32"), 2);

    EXPECT_EQ(simulator.interrupt(), 0);
    EXPECT_FALSE(QDir(folder.captured(1)).exists());
    EXPECT_FALSE(accepts("127.0.15.32", 8090));
    EXPECT_FALSE(accepts("127.0.15.32", 8010));
}

TEST(SimulatorProgram, ConsoleLinesNameWhatHappensNext)
{
    QTemporaryDir data;
    SimulatorProcess simulator("127.0.15.33", {"--data", data.path()});
    ASSERT_TRUE(simulator.listening()) << simulator.errors().toStdString();
    simulator.type("help");
    EXPECT_TRUE(simulator.waitForOutput("records N"));
    simulator.type("records 3");
    EXPECT_TRUE(simulator.waitForOutput("3 recognitions queued"));
    EXPECT_TRUE(simulator.waitForOutput("no address registered"));
    EXPECT_EQ(recordCount("127.0.15.33"), 3);
    simulator.type("dance");
    EXPECT_TRUE(simulator.waitForOutput("unknown command 'dance'"));
    EXPECT_EQ(simulator.interrupt(), 0);
    EXPECT_EQ(QDir(data.path() + "/IdentifyRecords").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1)
        << "a data folder of the user's keeps its photos";
}
