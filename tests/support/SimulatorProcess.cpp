#include "support/SimulatorProcess.h"

#include "support/ChildProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <csignal>

namespace {

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace

QString SimulatorProcess::program()
{
    return QStringLiteral(QUILLMOOR_TERMINAL_PROGRAM);
}

SimulatorProcess::SimulatorProcess(const QString& address, const QStringList& extra)
{
    process.setStandardOutputFile(folder.filePath(QStringLiteral("out")));
    process.setStandardErrorFile(folder.filePath(QStringLiteral("err")));
    endsWithTest(process);
    process.start(program(), QStringList{QStringLiteral("--address"), address} + extra);
    if (!process.waitForStarted(10000))
        return;
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && process.state() == QProcess::Running) {
        if (output().contains(QStringLiteral("type help"))) {
            listening_ = true;
            return;
        }
        process.waitForFinished(20);
    }
}

SimulatorProcess::~SimulatorProcess()
{
    interrupt();
}

QString SimulatorProcess::output() const
{
    return fileText(folder.filePath(QStringLiteral("out")));
}

QString SimulatorProcess::errors() const
{
    return fileText(folder.filePath(QStringLiteral("err")));
}

void SimulatorProcess::type(const QString& line)
{
    process.write((line + '\n').toLocal8Bit());
    process.waitForBytesWritten(5000);
}

bool SimulatorProcess::waitForOutput(const QString& text, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!output().contains(text)) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

int SimulatorProcess::interrupt()
{
    if (process.state() == QProcess::NotRunning)
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

int SimulatorProcess::run(const QStringList& arguments, QString* output, QString* errors)
{
    QProcess process;
    endsWithTest(process);
    process.start(program(), arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (errors)
        *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
