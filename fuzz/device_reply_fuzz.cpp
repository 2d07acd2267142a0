// A terminal's reply: UTF-8 decoding, JSON parsing, the truth rule and the
// member texts, and the outcome lines a command writes from it.
#include "common/Failure.h"
#include "device/DeviceReply.h"
#include "device/ReportOutcome.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = DecodeReply(body);
    try {
        const DeviceReply reply = ParseReply(text);
        if (reply.hasSuccess())
            reply.success();
        for (const char* member : {"success", "msg", "data", "result"}) {
            if (reply.has(member))
                reply.text(member);
        }
    } catch (const Failure&) {
    }
    CommandLog log;
    ReportOutcome(log, QStringLiteral("127.0.0.1"), [&body] { return body; },
                  {.success = QStringLiteral("S%s"),
                   .successMember = "data",
                   .failure = QStringLiteral("F[%s]"),
                   .abnormal = QStringLiteral("A")});
    return 0;
}
