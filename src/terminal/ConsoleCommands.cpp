#include "terminal/ConsoleCommands.h"

#include "terminal/TerminalEvents.h"

#include <QStringList>

namespace {

constexpr int kMostRecords = 1000;

const char* const kHelp =
    "event      a recognition: a new record with its photo, posted to the recognition address\n"
    "qr         a QR code shown to the terminal, posted to the QR code address\n"
    "pay        a payment: account query, then trade, at the online service address\n"
    "upload     a payment photo uploaded to the online service address\n"
    "records N  N recognitions at once (at most 1000)\n"
    "help       this list";

} // namespace

QString runConsoleCommand(TerminalEvents& events, const QString& line)
{
    const QStringList words = line.simplified().split(' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString& command = words[0];
    if (command == QLatin1String("help") && words.size() == 1)
        return QString::fromLatin1(kHelp);
    if (command == QLatin1String("event") && words.size() == 1) {
        events.recognise(1);
        return QStringLiteral("recognition queued");
    }
    if (command == QLatin1String("qr") && words.size() == 1) {
        events.scanQrCode();
        return QStringLiteral("QR code queued");
    }
    if (command == QLatin1String("pay") && words.size() == 1) {
        events.pay();
        return QStringLiteral("payment queued");
    }
    if (command == QLatin1String("upload") && words.size() == 1) {
        events.uploadPayPhoto();
        return QStringLiteral("photo upload queued");
    }
    if (command == QLatin1String("records") && words.size() == 2) {
        bool isNumber = false;
        const int count = words[1].toInt(&isNumber);
        if (!isNumber || count < 1 || count > kMostRecords)
            return QStringLiteral("records wants a count from 1 to %1").arg(kMostRecords);
        events.recognise(count);
        return QStringLiteral("%1 recognitions queued").arg(count);
    }
    return QStringLiteral("unknown command '%1' (type help)").arg(line.trimmed());
}
