#include "device/FirmwareUpgrade.h"

#include "common/Failure.h"
#include "common/TextCodec.h"
#include "device/CommandEnvelope.h"
#include "device/ConnectionCommands.h"

#include <QFile>

#include <array>
#include <memory>

namespace {

constexpr qsizetype kChunkBytes = 256 * 1024;

// Two digits for every byte value, looked up instead of formatted.
constexpr std::array<char, 512> hexPairs()
{
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<char, 512> pairs{};
    for (int byte = 0; byte < 256; ++byte) {
        pairs[2 * byte] = digits[byte >> 4];
        pairs[2 * byte + 1] = digits[byte & 0x0F];
    }
    return pairs;
}

constexpr std::array<char, 512> kHexPairs = hexPairs();

// Puts the client's time-out back to the command value when the upload ends,
// however it ends.
class TimeoutAfterUpload
{
public:
    explicit TimeoutAfterUpload(HttpClient& client) : client_(client) {}
    ~TimeoutAfterUpload() { client_.setTimeoutMs(kCommandTimeoutMs); }
    TimeoutAfterUpload(const TimeoutAfterUpload&) = delete;
    TimeoutAfterUpload& operator=(const TimeoutAfterUpload&) = delete;

private:
    HttpClient& client_;
};

} // namespace

void AppendHex(QByteArray& text, const char* bytes, qsizetype count)
{
    const qsizetype at = text.size();
    text.resize(at + 2 * count);
    char* out = text.data() + at;
    for (qsizetype i = 0; i < count; ++i) {
        const char* pair = &kHexPairs[2 * static_cast<unsigned char>(bytes[i])];
        *out++ = pair[0];
        *out++ = pair[1];
    }
}

QByteArray FirmwareFormBody(const QString& password, QIODevice& firmware)
{
    QByteArray body;
    if (!password.isEmpty())
        body = "pass=" + encodeFormValue(TextCodec::toGbk(password));
    const QByteArray binDataName = body.isEmpty() ? "binData=" : "&binData=";
    // A device that knows its size gets the body's whole room at once.
    body.reserve(body.size() + binDataName.size() + 2 * qMax<qint64>(firmware.size() - firmware.pos(), 0));

    const auto chunk = std::make_unique<char[]>(kChunkBytes);
    bool hasFirmware = false;
    qint64 read;
    while ((read = firmware.read(chunk.get(), kChunkBytes)) > 0) {
        if (!hasFirmware)
            body += binDataName;
        hasFirmware = true;
        AppendHex(body, chunk.get(), read);
    }
    if (read < 0)
        throw Failure(firmware.errorString());
    return body;
}

CommandLog UploadFirmware(const DeviceConnection& connection, const QString& password, const QString& path,
                          HttpClient& client)
{
    CommandLog log;
    QByteArray body;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            log.error = QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString());
            return log;
        }
        try {
            body = FirmwareFormBody(password, file);
        } catch (const Failure& failure) {
            log.error = QStringLiteral("Cannot read file \"%1\". %2").arg(path, failure.text());
            return log;
        }
    }

    const TimeoutAfterUpload restore(client);
    client.setTimeoutMs(kFirmwareTimeoutMs);
    ReportOutcome(
        log, connection.deviceHost,
        [&] { return PostEncodedForm(client, CommandUrl(connection, QStringLiteral("bootOnline")), body); },
        {.success = QStringLiteral("%s"),
         .successMember = "msg",
         .failure = QStringLiteral("串口屏固件升级失败"),
         .abnormal = QStringLiteral("串口屏固件升级异常")});
    return log;
}
