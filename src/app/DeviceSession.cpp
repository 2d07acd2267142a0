#include "app/DeviceSession.h"

#include "app/CommandRunner.h"
#include "app/DeviceSettingsRecorder.h"
#include "app/LogView.h"
#include "common/SettingsFile.h"
#include "common/Failure.h"
#include "device/ReportOutcome.h"

DeviceSession::DeviceSession(QWidget* window) : runner(new CommandRunner(window))
{
    IdHTTP1.setTrafficLog(&traffic);
    IdHTTP2.setTrafficLog(&traffic);
    IdFTP1.setTrafficLog(&traffic);
}

SettingsFile DeviceSession::settingsFile() const
{
    return SettingsFile::inFolder(programFolder_);
}

RecordSettings DeviceSession::recordSettings() const
{
    return DeviceSettingsRecorder(programFolder_);
}

bool DeviceSession::busy() const
{
    return runner->busy();
}

bool DeviceSession::runCommand(const std::function<void()>& work)
{
    if (busy())
        return false;
    return run(work, false);
}

bool DeviceSession::runPhotoCommand(const std::function<void()>& work)
{
    return run(work, true);
}

bool DeviceSession::run(const std::function<void()>& work, bool withFtp)
{
    if (busy())
        return false;
    IdHTTP1.rearm();
    IdHTTP2.rearm();
    IdHTTP1.setTrafficContext(control_);
    IdHTTP2.setTrafficContext(control_);
    if (withFtp) {
        IdFTP1.rearm();
        IdFTP1.setTrafficContext(control_);
    }
    return runner->run(work, [this, withFtp] {
        IdHTTP1.cancel();
        IdHTTP2.cancel();
        if (withFtp)
            IdFTP1.cancel();
    });
}

void DeviceSession::runLogged(LogView* pane, const LoggedCommand& command)
{
    const DeviceConnection connection = connection_;
    const QString pass = password();
    CommandLog log;
    if (!runCommand([&] { log = command(connection, pass); }))
        return;
    writeLog(pane, log);
}

void DeviceSession::writeLog(LogView* pane, const CommandLog& log)
{
    for (const QString& line : log.lines)
        pane->appendLine(line);
    if (log.error)
        throw Failure(*log.error);
}
