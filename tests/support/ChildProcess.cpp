#include "support/ChildProcess.h"

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

void endsWithTest(QProcess& process)
{
    const pid_t parent = ::getpid();
    // Runs in the child between fork and exec: async-signal-safe calls only.
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The test may have ended before the line above.
        if (::getppid() != parent)
            ::_exit(1);
    });
}
