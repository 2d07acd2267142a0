#include "cli/CliProcess.h"
#include "device/CommandEnvelope.h"
#include "device/ConnectionCommands.h"
#include "device/RecognitionConfig.h"
#include "device/RecordCommands.h"
#include "support/FakeTerminal.h"

#include <functional>
#include <gtest/gtest.h>

// What the window's buttons send through the core, and what the program sends
// for the same values, compared byte for byte.
TEST(CliWire, EachSubcommandSendsWhatTheWindowSendsForTheSameValues)
{
    FakeTerminal terminal(50, 8090, "127.0.23.");
    const DeviceConnection connection{terminal.host(), kDevicePort};
    RecognitionFields config;
    config.companyName = QStringLiteral("东方 & Co");
    config.identifyScores = config.saveIdentifyTime = config.delayTimeForCloseDoor = "5";
    config.ttsModTypeItem = config.comModTypeItem = config.displayModTypeItem = "1: x";
    config.ttsModStrangerTypeItem = QStringLiteral("1: 不需要语音播报");
    const RecordQueryFields query{"58104726", "100", "0", true, QDate(2024, 5, 1), QDate(2024, 5, 2)};
    struct Case
    {
        const char* button;
        std::function<void(HttpClient&)> window;
        QStringList arguments;
    };
    const std::vector<Case> cases{
        {"btnsetconfig",
         [&](HttpClient& c) { SetRecognitionConfig(connection, "58104726", config, c); },
         {"send", "setConfig", "--utf8", "--form", "config=" + RecognitionConfigText(config)}},
        {"btngetdevicekey", [&](HttpClient& c) { ReadSerialNumber(connection, c); }, {"serial"}},
        {"btn12",
         [&](HttpClient& c) { QueryRecordPage(RecordQueryText(query), connection, c); },
         {"records", "--from", "2024-05-01", "--to", "2024-05-02"}},
    };
    for (const Case& c : cases) {
        HttpClient client(kFormContentType);
        c.window(client);
        const int windowSent = terminal.requestCount();
        runCli(c.arguments + QStringList{"--ip", terminal.host()});
        ASSERT_GT(terminal.requestCount(), windowSent) << c.button;
        const std::vector<RecordedRequest> sent = terminal.requests();
        EXPECT_EQ(sent[std::size_t(windowSent)].raw, sent[std::size_t(windowSent) - 1].raw) << c.button;
    }
}
