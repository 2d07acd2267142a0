#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One exchange on the wire, as the traffic panel shows it.
struct TrafficRecord
{
    enum class Role
    {
        DeviceCommand, // the tool asks the terminal (HTTP, port 8090)
        FtpFetch,      // the tool fetches a photo from the terminal's FTP service
        ServerRequest, // the terminal asks the tool's embedded server
    };

    quint64 id = 0; // given by the log, rising
    QDateTime time; // when the exchange began
    Role role = Role::DeviceCommand;
    // The button that sent a device command, or the route a server request matched.
    QString context;
    QString method; // HTTP method, or "RETR" for an FTP fetch
    // A device command's URL, a server request's target, or an FTP fetch's
    // "host  directory  remote name".
    QString target;
    int status = 0; // HTTP status; 0 when there was no reply
    QString result; // the error that ended the exchange, or an FTP fetch's outcome
    qint64 durationUs = 0;
    // Every byte each way, headers and bodies, as they went over the wire;
    // sizes count what was sent even where the kept bytes are cut.
    QByteArray request;
    QByteArray reply;
    qint64 requestSize = 0;
    qint64 replySize = 0;

    bool succeeded() const { return result.isEmpty() && (role == Role::FtpFetch || (status >= 200 && status < 300)); }
    // What the record costs in memory: its bytes and texts as allocated, and
    // the bookkeeping of each allocation, so that a budget bounds the real size.
    qint64 memoryBytes() const
    {
        constexpr qint64 kAllocation = 32;
        const auto bytes = [](const QByteArray& kept) { return kept.capacity() + kAllocation; };
        const auto text = [](const QString& kept) { return 2 * kept.capacity() + kAllocation; };
        return qint64(sizeof(TrafficRecord)) + bytes(request) + bytes(reply) + text(context) + text(method) +
               text(target) + text(result);
    }
};
