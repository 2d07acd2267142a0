#include "terminal/Simulator.h"

#include "common/Failure.h"

#include <QDateTime>
#include <QDir>

QString serialNumberFor(const QString& address)
{
    QString serial = QStringLiteral("QM");
    for (const QString& part : address.split('.'))
        serial += QStringLiteral("%1").arg(part.toInt(), 2, 16, QLatin1Char('0')).toUpper();
    return serial;
}

QString Simulator::rootFolder(const TerminalOptions& options, std::unique_ptr<QTemporaryDir>& temporary)
{
    if (!options.dataDir.isEmpty())
        return QDir(options.dataDir).absolutePath();
    temporary =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quillmoor-terminal-XXXXXX"));
    if (!temporary->isValid())
        throw Failure(QStringLiteral("cannot create a temporary folder: ") + temporary->errorString());
    return temporary->path();
}

static TerminalState initialState(const TerminalOptions& options)
{
    TerminalState state;
    state.address = options.address;
    state.serialNumber = serialNumberFor(options.address);
    state.password = options.password;
    return state;
}

static HttpServerLimits commandApiLimits()
{
    HttpServerLimits limits;
    limits.acceptsPut = true;
    return limits;
}

Simulator::Simulator(const TerminalOptions& options, std::function<void(const QString&)> log)
    : log(std::move(log)), root(rootFolder(options, temporary)), store_(initialState(options)), photos(root),
      ftp(options.address, kFtpPort, root), sender(store_, options.callbacksAnywhere, this->log),
      events_(store_, photos, sender),
      commands(store_, photos,
               TerminalHooks{[this](const FtpAccount& account) {
                                 try {
                                     ftp.serve(account);
                                     this->log(QStringLiteral("FTP now serves the account ") + account.user);
                                     return true;
                                 } catch (const Failure& failure) {
                                     this->log(failure.text());
                                     return false;
                                 }
                             },
                             [this](const Face& face) { events_.reportTakenPhoto(face); },
                             [this] { sender.wake(); }, options.callbacksAnywhere, this->log}),
      faults(options.faults),
      server(
          [this](const ServerRequest& request) -> std::optional<ServerReply> {
              if (std::optional<std::optional<ServerReply>> fault = faults.instead(request.document))
                  return *fault;
              return commands.handle(request);
          },
          commandApiLimits())
{
    ftp.serve(store_.with([](TerminalState& state) { return state.ftp; }));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < options.records; ++i)
        events_.addRecord(now - qint64(options.records - i) * 60000);
    server.start(options.address, kHttpPort);
}
