#include "app/CommandRunner.h"
#include "app/LogPaneQueue.h"
#include "app/TfrmMain.h"
#include "common/Failure.h"
#include "device/ReportOutcome.h"

bool TfrmMain::runDeviceCommand(const std::function<void()>& work)
{
    if (commandRunner->busy())
        return false;
    // Lines written so far show while the window waits for the terminal.
    LogPaneQueue::flushAll();
    IdHTTP1.rearm();
    IdHTTP2.rearm();
    return commandRunner->run(work, [this] {
        IdHTTP1.cancel();
        IdHTTP2.cancel();
    });
}

void TfrmMain::writeCommandLog(QPlainTextEdit* pane, const CommandLog& log)
{
    for (const QString& line : log.lines)
        appendLine(pane, line);
    if (log.error)
        throw Failure(*log.error);
}

void TfrmMain::runLoggedCommand(QPlainTextEdit* pane, const std::function<CommandLog()>& command)
{
    CommandLog log;
    if (!runDeviceCommand([&] { log = command(); }))
        return;
    writeCommandLog(pane, log);
}
