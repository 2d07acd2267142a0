#include "common/TrafficLog.h"
#include "device/CommandEnvelope.h"
#include "device/ConnectionCommands.h"
#include "support/FakeTerminal.h"

#include <gtest/gtest.h>

// A reply over the limit ends the command with the exception line, read no
// further than the limit: at once for a declared length, at the limit for chunks.
TEST(ReplyLimit, ReplyOverTheLimitEndsTheCommandWithTheExceptionLine)
{
    FakeTerminal terminal(70);
    const QByteArray body(100 << 20, 'x');
    terminal.then(TerminalReply::status(200, "OK", body))
        .then(TerminalReply::raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                                 QByteArray::number(body.size(), 16) + "\r\n" + body + "\r\n0\r\n\r\n"));
    TrafficLog traffic;
    HttpClient client(kFormContentType);
    client.setTrafficLog(&traffic);
    for (const qint64 mostRead : {qint64(1) << 20, qint64(65) << 20}) {
        EXPECT_EQ(ReadSerialNumber({terminal.host(), 8090}, client).log.lines,
                  QStringList{QString::fromUtf8("操作失败")});
        const TrafficRecord record = traffic.since(0).last();
        EXPECT_EQ(record.result, "Reply body larger than 64 MiB.");
        EXPECT_LT(record.replySize, mostRead);
    }
}
