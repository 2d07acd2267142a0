// A terminal's reply to the record query and to the face photo query: the
// records listed, the paths of their photos on the terminal and the names the
// photos would be stored under. Nothing is fetched.
#include "FuzzInput.h"
#include "device/DeviceReply.h"
#include "device/FaceCommands.h"
#include "device/FtpFetch.h"
#include "device/LocalPhotoName.h"
#include "device/RecordCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // face ID LF reply
    const QList<QByteArray> pieces = splitInput(data, size, 2);
    const QString text = DecodeReply(pieces[1]);
    for (const RecordPhoto& record : ReadRecordPage(text).records) {
        IsSafeLocalName(record.time);
        RemotePhotoName(QStringLiteral("IdentifyRecords"), record.path);
    }
    CommandLog log;
    if (const std::optional<QString> path = ReadPhotoQueryReply(QStringLiteral("127.0.0.1"), text, log)) {
        IsSafeLocalName(QString::fromUtf8(pieces[0]));
        RemotePhotoName(QStringLiteral("RegisterPhoto"), *path);
    }
    return 0;
}
