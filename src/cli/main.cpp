#include "cli/CommandLine.h"
#include "cli/InterruptWatch.h"

#include <QCoreApplication>
#include <csignal>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillmoor-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLMOOR_VERSION));
    // A closed pipe (| head) ends a write with an error, not the program.
    std::signal(SIGPIPE, SIG_IGN);
    const InterruptWatch interrupts;
    return RunCommandLine(QCoreApplication::arguments());
}
