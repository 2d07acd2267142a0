#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The terminal simulator, quillmoor-terminal, run as a process of its own for a
// test. Its output goes to files, so that it never waits for the test to read.
class SimulatorProcess
{
public:
    // Starts it with "--address address" and the extra arguments, and waits
    // until it listens or has ended; listening() tells which.
    explicit SimulatorProcess(const QString& address, const QStringList& extra = {});
    // Ends it as Ctrl+C would.
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    bool listening() const { return listening_; }
    QString output() const;
    QString errors() const;
    // One line on its standard input.
    void type(const QString& line);
    // Waits, processing events meanwhile, until its output holds text.
    bool waitForOutput(const QString& text, int timeoutMs = 10000);
    // Sends SIGINT and returns the exit status (-1 when it had to be killed).
    int interrupt();

    // Runs it with these arguments to its end; the exit status, -1 on a crash
    // or after 20 s.
    static int run(const QStringList& arguments, QString* output = nullptr, QString* errors = nullptr);
    static QString program();

private:
    QTemporaryDir folder;
    QProcess process;
    bool listening_ = false;
};
