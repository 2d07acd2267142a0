#pragma once

#include "support/ChildProcess.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// One run of quillmoor-cli to its end, with QUILLMOOR_PASSWORD as given
// (unset when empty).
struct CliRun
{
    int exitStatus = -1; // -1 on a crash or after 60 s
    QByteArray out;
    QString errors;
};

inline CliRun runCli(const QStringList& arguments, const QString& envPassword = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QUILLMOOR_PASSWORD"));
    if (!envPassword.isEmpty())
        environment.insert(QStringLiteral("QUILLMOOR_PASSWORD"), envPassword);
    process.setProcessEnvironment(environment);
    endsWithTest(process);
    process.start(QStringLiteral(QUILLMOOR_CLI_PROGRAM), arguments);
    CliRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.out = process.readAllStandardOutput();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    run.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}
