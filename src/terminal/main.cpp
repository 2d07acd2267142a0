#include "common/Failure.h"
#include "terminal/ConsoleCommands.h"
#include "terminal/LoadMode.h"
#include "terminal/Simulator.h"
#include "terminal/TerminalOptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <vector>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

// Console lines come from several threads; each goes out whole.
void say(const QString& line)
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void complain(const QString& text)
{
    std::fprintf(stderr, "quillmoor-terminal: %s\n", text.toLocal8Bit().constData());
}

// Ctrl+C and SIGTERM end the event loop, so that everything is undone in order.
void quitOnSignals(QCoreApplication& app)
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] { app.quit(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void readConsole(QCoreApplication& app, TerminalEvents& events)
{
    if (fcntl(STDIN_FILENO, F_GETFD) == -1)
        return;
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    auto* pending = new QByteArray;
    QObject::connect(notifier, &QSocketNotifier::destroyed, [pending] { delete pending; });
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier, pending, &events] {
        char chunk[4096];
        const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            notifier->setEnabled(false);
            return;
        }
        pending->append(chunk, n);
        qsizetype end = 0;
        while ((end = pending->indexOf('\n')) >= 0) {
            const QString reply = runConsoleCommand(events, QString::fromLocal8Bit(pending->left(end)));
            pending->remove(0, end + 1);
            if (!reply.isEmpty())
                say(reply);
        }
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    TerminalOptions options;
    try {
        options = parseTerminalOptions(app.arguments());
    } catch (const Failure& failure) {
        complain(failure.text());
        return 2;
    }
    if (options.help) {
        std::fputs(terminalHelpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.load) {
        say(QStringLiteral("load: %1 terminals, %2 requests a second in all, %3 s, to %4")
                .arg(options.load->terminals)
                .arg(options.load->rate)
                .arg(options.load->seconds)
                .arg(options.load->server));
        std::fputs(runLoad(*options.load).report().toLocal8Bit().constData(), stdout);
        return 0;
    }

    quitOnSignals(app);
    std::vector<std::unique_ptr<Simulator>> site;
    try {
        for (int index = 0; index < options.count; ++index) {
            const TerminalOptions one = terminalAt(options, index);
            site.push_back(std::make_unique<Simulator>(one, say));
            // The last line says that all are ready.
            say(QStringLiteral(
                    "quillmoor-terminal %1: commands on http://%1:%2/, photos on ftp://%1:%3/ (folder %4), "
                    "password %5, %6 records%7")
                    .arg(one.address)
                    .arg(Simulator::kHttpPort)
                    .arg(Simulator::kFtpPort)
                    .arg(site.back()->photoRoot(), one.password)
                    .arg(one.records)
                    .arg(index + 1 == options.count ? QStringLiteral("; type help") : QString()));
        }
    } catch (const Failure& failure) {
        complain(failure.text());
        return 1;
    }
    readConsole(app, site.front()->events());
    app.exec();
    site.clear();
    say(QStringLiteral("stopped"));
    return 0;
}
