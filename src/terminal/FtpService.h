#pragma once

#include "terminal/TerminalState.h"

#include <QString>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <sys/types.h>

// The terminal's FTP service: Debian's pyftpdlib in a child process that serves
// the photo root read-only to one account and to anonymous users. The child
// ends with this object, and also when the simulator itself dies.
class FtpService
{
public:
    FtpService(QString address, int port, QString root);
    ~FtpService();
    FtpService(const FtpService&) = delete;
    FtpService& operator=(const FtpService&) = delete;

    // Starts serving, or serves again with another account; from any thread.
    // Throws Failure when the child does not come up (it says why on the
    // simulator's standard error).
    void serve(const FtpAccount& account);
    // Ends the child; serving is over for good.
    void stop();

private:
    void work();
    void start(const FtpAccount& account);
    void end();

    const QString address;
    const int port;
    const QString root;
    std::mutex mutex;
    std::condition_variable wakeWorker;
    std::deque<std::packaged_task<void()>> jobs;
    bool stopping = false;
    // Touched only by the worker.
    pid_t child = -1;
    std::thread worker;
};
