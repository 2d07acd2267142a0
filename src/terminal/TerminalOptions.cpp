#include "terminal/TerminalOptions.h"

#include "common/Failure.h"
#include "terminal/CallbackPolicy.h"

#include <QUrl>

namespace {

bool isIpv4(const QString& text)
{
    const QStringList parts = text.split('.');
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        bool isNumber = false;
        const int value = part.toInt(&isNumber);
        if (!isNumber || part.isEmpty() || part.size() > 3 || value < 0 || value > 255 || !part[0].isDigit())
            return false;
    }
    return true;
}

double number(const QString& option, const QString& text, double low, double high)
{
    bool isNumber = false;
    const double value = text.toDouble(&isNumber);
    if (!isNumber || value < low || value > high)
        throw Failure(QStringLiteral("%1 wants a number from %2 to %3, not '%4'")
                          .arg(option)
                          .arg(low)
                          .arg(high)
                          .arg(text));
    return value;
}

int whole(const QString& option, const QString& text, int low, int high)
{
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    if (!isNumber || value < low || value > high)
        throw Failure(QStringLiteral("%1 wants a whole number from %2 to %3, not '%4'")
                          .arg(option)
                          .arg(low)
                          .arg(high)
                          .arg(text));
    return value;
}

} // namespace

QString terminalHelpText()
{
    return QStringLiteral(
        "Usage: quillmoor-terminal [options]\n"
        "Plays a face-recognition terminal for the Quillmoor tool: its HTTP command API on port 8090,\n"
        "its photos over FTP on port 8010, and its callbacks to the addresses the tool registers.\n"
        "\n"
        "  --address IP          where to listen (default 127.0.0.2): HTTP on IP:8090, FTP on IP:8010\n"
        "  --password TEXT       the communication password at start (default 58104726)\n"
        "  --records N           N recognition records at start, each with a generated photo\n"
        "  --data DIR            where the photo folders RegisterPhoto and IdentifyRecords live and stay;\n"
        "                        default a temporary folder removed at exit\n"
        "  --count N             play N terminals (a site, up to 64) on N consecutive addresses from\n"
        "                        --address on, each with its own serial number, password, state, photos\n"
        "                        over FTP and data subfolder; each sends its callbacks from its own address\n"
        "  --password-for IP=TEXT  the password of the terminal at IP, when it is not --password's\n"
        "  --callbacks-anywhere  also send callbacks to addresses that are not loopback addresses\n"
        "  --fail-every N PATH   refuse every Nth request for the command PATH (such as face) with a msg\n"
        "  --drop-every N PATH   close the connection of every Nth request for PATH without a reply\n"
        "  --load N --rate R --seconds S --server URL\n"
        "                        load mode: N terminals send callbacks (heartbeats, recognition events,\n"
        "                        QR codes) to the server at URL, R requests a second in all, for\n"
        "                        S seconds; then prints answered requests, errors and p50/p99 latency\n"
        "  --help                this text\n"
        "\n"
        "FTP: the account that setFTP sets (at start admin / 58104726) and anonymous, read only.\n"
        "Standard input, one command a line: event, qr, pay, upload, records N, help; with --count,\n"
        "they go to the first terminal.\n"
        "Ctrl+C ends it.\n");
}

TerminalOptions parseTerminalOptions(const QStringList& arguments)
{
    TerminalOptions options;
    LoadOptions load;
    bool loadGiven = false;
    bool rateGiven = false;
    bool secondsGiven = false;
    bool serverGiven = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString option = arguments[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= arguments.size())
                throw Failure(QStringLiteral("%1 needs a value").arg(option));
            return arguments[++i];
        };
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            options.help = true;
        } else if (option == QLatin1String("--address")) {
            options.address = value();
            if (!isIpv4(options.address))
                throw Failure(QStringLiteral("--address wants an IPv4 address such as 127.0.0.2, not '%1'")
                                  .arg(options.address));
        } else if (option == QLatin1String("--password")) {
            options.password = value();
            if (options.password.isEmpty())
                throw Failure(QStringLiteral("--password must not be empty"));
        } else if (option == QLatin1String("--records")) {
            options.records = whole(option, value(), 0, 10000);
        } else if (option == QLatin1String("--data")) {
            options.dataDir = value();
            if (options.dataDir.isEmpty())
                throw Failure(QStringLiteral("--data needs a folder"));
        } else if (option == QLatin1String("--count")) {
            options.count = whole(option, value(), 1, 64);
        } else if (option == QLatin1String("--password-for")) {
            const QString given = value();
            const qsizetype at = given.indexOf('=');
            if (at <= 0 || !isIpv4(given.left(at)) || at + 1 == given.size())
                throw Failure(QStringLiteral("--password-for wants IP=PASSWORD, not '%1'").arg(given));
            options.passwords.emplace_back(given.left(at), given.mid(at + 1));
        } else if (option == QLatin1String("--callbacks-anywhere")) {
            options.callbacksAnywhere = true;
        } else if (option == QLatin1String("--fail-every") || option == QLatin1String("--drop-every")) {
            CommandFault fault;
            fault.kind = option == QLatin1String("--fail-every") ? CommandFault::Kind::Refuse
                                                                 : CommandFault::Kind::Drop;
            fault.every = whole(option, value(), 1, 1000000);
            fault.command = value();
            while (fault.command.startsWith('/'))
                fault.command.remove(0, 1);
            if (fault.command.isEmpty())
                throw Failure(QStringLiteral("%1 needs a command path such as face").arg(option));
            options.faults.push_back(fault);
        } else if (option == QLatin1String("--load")) {
            load.terminals = whole(option, value(), 1, 1000);
            loadGiven = true;
        } else if (option == QLatin1String("--rate")) {
            load.rate = number(option, value(), 0.1, 100000);
            rateGiven = true;
        } else if (option == QLatin1String("--seconds")) {
            load.seconds = whole(option, value(), 1, 3600);
            secondsGiven = true;
        } else if (option == QLatin1String("--server")) {
            load.server = value();
            const QUrl url(load.server, QUrl::StrictMode);
            if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty())
                throw Failure(
                    QStringLiteral("--server wants an address such as http://127.0.0.1:8090/, not '%1'")
                        .arg(load.server));
            serverGiven = true;
        } else {
            throw Failure(QStringLiteral("unknown option '%1' (see --help)").arg(option));
        }
    }
    if (loadGiven != rateGiven || loadGiven != secondsGiven || loadGiven != serverGiven)
        throw Failure(QStringLiteral("the load mode needs --load, --rate, --seconds and --server together"));
    if (loadGiven) {
        if (!options.callbacksAnywhere && !isLoopbackUrl(load.server))
            throw Failure(
                QStringLiteral("--server %1 is not a loopback address (--callbacks-anywhere allows it)")
                    .arg(load.server));
        options.load = load;
    }
    siteAddress(options.address, options.count - 1);
    return options;
}

QString siteAddress(const QString& first, int index)
{
    QStringList parts = first.split('.');
    const int last = parts.last().toInt() + index;
    if (last > 255)
        throw Failure(QStringLiteral("%1 terminals from %2 go past .255").arg(index + 1).arg(first));
    parts.last() = QString::number(last);
    return parts.join('.');
}

TerminalOptions terminalAt(const TerminalOptions& site, int index)
{
    TerminalOptions one = site;
    one.count = 1;
    one.address = siteAddress(site.address, index);
    for (const auto& [address, password] : site.passwords) {
        if (address == one.address)
            one.password = password;
    }
    if (site.count > 1 && !site.dataDir.isEmpty())
        one.dataDir = site.dataDir + '/' + one.address;
    return one;
}
