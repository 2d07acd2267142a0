#include "common/Failure.h"
#include "terminal/CallbackPolicy.h"
#include "terminal/TerminalOptions.h"

#include <gtest/gtest.h>

namespace {

TerminalOptions parse(const QStringList& arguments)
{
    return parseTerminalOptions(QStringList{QStringLiteral("quillmoor-terminal")} + arguments);
}

} // namespace

TEST(TerminalOptions, DefaultsAndEveryOption)
{
    const TerminalOptions defaults = parse({});
    EXPECT_EQ(defaults.address, "127.0.0.2");
    EXPECT_EQ(defaults.password, "58104726");
    EXPECT_EQ(defaults.records, 0);
    EXPECT_TRUE(defaults.dataDir.isEmpty());
    EXPECT_FALSE(defaults.callbacksAnywhere);
    EXPECT_FALSE(defaults.load);

    const TerminalOptions given = parse({"--address", "127.0.15.3", "--password", "x y", "--records", "12",
                                         "--data", "/tmp/d", "--callbacks-anywhere"});
    EXPECT_EQ(given.address, "127.0.15.3");
    EXPECT_EQ(given.password, "x y");
    EXPECT_EQ(given.records, 12);
    EXPECT_EQ(given.dataDir, "/tmp/d");
    EXPECT_TRUE(given.callbacksAnywhere);

    const TerminalOptions load =
        parse({"--load", "20", "--rate", "200", "--seconds", "30", "--server", "http://127.0.16.1:8090/"});
    ASSERT_TRUE(load.load);
    EXPECT_EQ(load.load->terminals, 20);
    EXPECT_EQ(load.load->rate, 200);
    EXPECT_EQ(load.load->seconds, 30);
    EXPECT_EQ(load.load->server, "http://127.0.16.1:8090/");
    EXPECT_TRUE(parse({"--help"}).help);
}

TEST(TerminalOptions, BadOptionsAreRefusedWithTheirReason)
{
    const struct
    {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--address"}, "--address needs a value"},
        {{"--address", "127.0.0"}, "IPv4"},
        {{"--address", "127.0.0.256"}, "IPv4"},
        {{"--address", "localhost"}, "IPv4"},
        {{"--password", ""}, "must not be empty"},
        {{"--records", "-1"}, "--records wants a whole number"},
        {{"--records", "ten"}, "--records wants a whole number"},
        {{"--data", ""}, "--data needs a folder"},
        {{"--load", "20", "--rate", "200", "--seconds", "30"}, "together"},
        {{"--address", "127.0.15.250", "--count", "7"}, "past .255"},
        {{"--count", "65"}, "--count wants a whole number"},
        {{"--password-for", "127.0.15.3"}, "IP=PASSWORD"},
        {{"--load", "0", "--rate", "1", "--seconds", "1", "--server", "http://127.0.0.1/"}, "--load wants"},
        {{"--load", "1", "--rate", "0", "--seconds", "1", "--server", "http://127.0.0.1/"}, "--rate wants"},
        {{"--load", "1", "--rate", "1", "--seconds", "1", "--server", "ftp://127.0.0.1/"}, "--server wants"},
        {{"--load", "1", "--rate", "1", "--seconds", "1", "--server", "http://192.168.1.129:8090/"},
         "not a loopback"},
    };
    for (const auto& c : cases) {
        try {
            parse(c.arguments);
            ADD_FAILURE() << c.arguments.join(' ').toStdString() << " was accepted";
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.text().contains(QString::fromUtf8(c.reason)))
                << c.arguments.join(' ').toStdString() << ": " << failure.text().toStdString();
        }
    }
    EXPECT_NO_THROW(parse({"--callbacks-anywhere", "--load", "1", "--rate", "1", "--seconds", "1", "--server",
                           "http://192.168.1.129:8090/"}));
}

TEST(CallbackPolicy, OnlyLoopbackHostsAreCalledBack)
{
    const struct
    {
        const char* url;
        bool loopback;
    } cases[] = {
        {"http://127.0.0.1:8090/heartBeat", true},
        {"http://127.0.16.9:8090/attendance", true},
        {"http://127.255.255.254/", true},
        {"http://localhost:8090/x", true},
        {"http://[::1]:8090/x", true},
        {"http://192.168.1.188:8090/heartbeat", false},
        {"http://128.0.0.1/", false},
        {"http://127.0.0.1.example.com/", false},
        {"http://1270.0.0.1/", false},
        {"https://127.0.0.1/", false},
        {"127.0.0.1:8090/heartBeat", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isLoopbackUrl(QString::fromLatin1(c.url)), c.loopback) << c.url;
    EXPECT_EQ(serviceUrl("http://h:8028/comApi/", "queryAccount"), "http://h:8028/comApi/queryAccount");
    EXPECT_EQ(serviceUrl("http://h:8028/comApi", "queryAccount"), "http://h:8028/comApi/queryAccount");
}

TEST(TerminalOptions, FaultsNameTheirKindIntervalAndCommand)
{
    const TerminalOptions options =
        parse({"--fail-every", "7", "face", "--drop-every", "3", "/person/create"});
    ASSERT_EQ(options.faults.size(), 2u);
    EXPECT_EQ(options.faults[0].kind, CommandFault::Kind::Refuse);
    EXPECT_EQ(options.faults[0].every, 7);
    EXPECT_EQ(options.faults[1].kind, CommandFault::Kind::Drop);
    EXPECT_EQ(options.faults[1].command, "person/create");
    EXPECT_THROW(parse({"--fail-every", "0", "face"}), Failure);
    EXPECT_THROW(parse({"--drop-every", "2"}), Failure);

    CommandFaults faults(options.faults);
    EXPECT_FALSE(faults.instead("/person/create"));
    EXPECT_FALSE(faults.instead("/person/create"));
    const auto dropped = faults.instead("/person/create");
    ASSERT_TRUE(dropped);
    EXPECT_FALSE(*dropped);
}

TEST(TerminalOptions, ASiteGivesEachTerminalItsAddressPasswordAndFolder)
{
    const TerminalOptions site = parse({"--address", "127.0.15.9", "--count", "3", "--data", "/tmp/d",
                                        "--password-for", "127.0.15.10=other"});
    const TerminalOptions second = terminalAt(site, 1);
    EXPECT_EQ(second.address, "127.0.15.10");
    EXPECT_EQ(second.password, "other");
    EXPECT_EQ(second.dataDir, "/tmp/d/127.0.15.10");
    EXPECT_EQ(terminalAt(site, 2).password, "58104726");
    EXPECT_EQ(terminalAt(parse({"--data", "/tmp/d"}), 0).dataDir, "/tmp/d");
}
