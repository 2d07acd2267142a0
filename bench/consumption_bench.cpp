// Load on the account query of the consumption service: wrk against the real
// window's server (started through btn8, headless), side by side with the
// unmatched path of the same server in the same run, at 1 and 32 connections.
//
// Usage: consumption_bench [seconds per wrk run, default 10]
#include "app/LogView.h"
#include "app/TfrmMain.h"
#include "WindowServer.h"
#include "WrkOutput.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kPort = 8090;
const char* const kAddress = "127.0.13.20";

// Runs wrk, with the request script when one is given, while this thread keeps
// serving the window's event loop.
WrkResult runWrk(const QString& path, const QString& script, int connections, int seconds)
{
    QStringList arguments{"-t" + QString::number(connections == 1 ? 1 : 2),
                          "-c" + QString::number(connections),
                          "-d" + QString::number(seconds) + "s",
                          "--timeout",
                          "5s",
                          "--latency"};
    if (!script.isEmpty())
        arguments << "-s" << script;
    arguments << QString("http://%1:%2%3").arg(kAddress).arg(kPort).arg(path);
    QProcess wrk;
    wrk.start("/usr/bin/wrk", arguments);
    QEventLoop loop;
    QObject::connect(&wrk, &QProcess::finished, &loop, &QEventLoop::quit);
    if (wrk.state() != QProcess::NotRunning)
        loop.exec();
    return parseWrk(QString::fromUtf8(wrk.readAllStandardOutput()));
}

void print(const char* path, int connections, const WrkResult& result, double baseline)
{
    std::printf("%-14s c=%-3d %9.0f req/s  p99 %8.0f us  ratio to unmatched %.2f  [%lld requests] %s\n", path,
                connections, result.requestsPerSecond, result.p99Microseconds,
                baseline > 0 ? result.requestsPerSecond / baseline : 0.0, result.requests,
                qPrintable(result.errors));
    std::fflush(stdout);
}

QString writeAccountScript(const QTemporaryDir& folder)
{
    const QString path = QDir(folder.path()).filePath("account.lua");
    QFile script(path);
    if (script.open(QIODevice::WriteOnly)) {
        script.write("wrk.method = \"POST\"\n"
                     "wrk.headers[\"Content-Type\"] = \"application/json\"\n"
                     "wrk.body = '{\"personId\":\"20001\",\"idcardNum\":\"88001234\"}'\n");
    }
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    QTemporaryDir folder;
    TfrmMain window;
    window.setProgramFolder(folder.path());
    window.show();
    startWindowServer(window, kAddress, kPort);
    const QString accountScript = writeAccountScript(folder);

    for (int connections : {1, 32}) {
        // Each pair of runs starts from empty panes, so that earlier lines do not weigh on it.
        for (auto* pane : window.findChildren<LogView*>()) {
            pane->clear();
            pane->setProperty("hasLines", false);
        }
        const WrkResult unmatched = runWrk("/unmatched", {}, connections, seconds);
        print("/unmatched", connections, unmatched, unmatched.requestsPerSecond);
        const WrkResult account = runWrk("/queryAccount", accountScript, connections, seconds);
        print("/queryAccount", connections, account, unmatched.requestsPerSecond);
    }
    const QString reply = window.findChild<LogView*>("mmMsg")->toPlainText().section('\n', 0, 0);
    std::printf("first account reply of the last run: %s\n", qPrintable(reply.left(80)));
    return 0;
}
