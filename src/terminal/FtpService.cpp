#include "terminal/FtpService.h"

#include "common/Failure.h"

#include <QByteArray>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <future>

namespace {

// Started as python3 -c; says "ready" once it listens.
const char* const kServerScript = R"(
import logging, os, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
host, port, root = sys.argv[1:4]
user = os.environ.get('FTP_ACCOUNT_USER', '')
password = os.environ.get('FTP_ACCOUNT_PASSWORD', '')
quiet = logging.getLogger('pyftpdlib')
quiet.addHandler(logging.StreamHandler())
quiet.setLevel(logging.WARNING)
authorizer = DummyAuthorizer()
if user and user != 'anonymous':
    authorizer.add_user(user, password, root, perm='elr')
authorizer.add_anonymous(root, perm='elr')
FTPHandler.authorizer = authorizer
FTPHandler.auth_failed_timeout = 0.5
FTPHandler.banner = 'quillmoor-terminal FTP'
try:
    server = FTPServer((host, int(port)), FTPHandler)
except OSError as error:
    sys.stderr.write('FTP cannot listen on %s:%s: %s\n' % (host, port, error.strerror))
    sys.exit(3)
print('ready', flush=True)
server.serve_forever(handle_exit=True)
)";

constexpr int kStartTimeoutMs = 15000;

} // namespace

FtpService::FtpService(QString address, int port, QString root)
    : address(std::move(address)), port(port), root(std::move(root))
{
    worker = std::thread([this] { work(); });
}

FtpService::~FtpService()
{
    stop();
}

void FtpService::serve(const FtpAccount& account)
{
    // The child is told to end when the thread that forked it ends, so every
    // fork happens on this service's own long-lived thread.
    std::packaged_task<void()> task([this, account] { start(account); });
    std::future<void> done = task.get_future();
    {
        std::lock_guard lock(mutex);
        if (stopping)
            throw Failure(QStringLiteral("the FTP service has been stopped"));
        jobs.push_back(std::move(task));
    }
    wakeWorker.notify_all();
    done.get();
}

void FtpService::work()
{
    std::unique_lock lock(mutex);
    for (;;) {
        wakeWorker.wait(lock, [this] { return stopping || !jobs.empty(); });
        if (jobs.empty())
            break;
        std::packaged_task<void()> job = std::move(jobs.front());
        jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
    lock.unlock();
    end();
}

void FtpService::start(const FtpAccount& account)
{
    end();
    const std::vector<QByteArray> args = {
        "/usr/bin/python3", "-c", kServerScript, address.toUtf8(), QByteArray::number(port), root.toUtf8()};
    std::vector<char*> argv;
    for (const QByteArray& arg : args)
        argv.push_back(const_cast<char*>(arg.constData()));
    argv.push_back(nullptr);
    // The account travels in the environment, which other users cannot read,
    // rather than on the command line, which they can.
    const std::vector<QByteArray> login = {"FTP_ACCOUNT_USER=" + account.user.toUtf8(),
                                           "FTP_ACCOUNT_PASSWORD=" + account.password.toUtf8()};
    std::vector<char*> envp;
    for (char** entry = environ; *entry; ++entry) {
        if (strncmp(*entry, "FTP_ACCOUNT_", 12) != 0)
            envp.push_back(*entry);
    }
    for (const QByteArray& entry : login)
        envp.push_back(const_cast<char*>(entry.constData()));
    envp.push_back(nullptr);

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        throw Failure(QStringLiteral("FTP: no pipe"));
    const pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec. Its complaints go
        // to the simulator's own standard error.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(output[1], STDOUT_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(output[1]);
    if (pid < 0) {
        close(output[0]);
        throw Failure(QStringLiteral("FTP: cannot start /usr/bin/python3"));
    }
    child = pid;

    // Wait for "ready", or for the child to give up.
    QByteArray said;
    pollfd watched = {output[0], POLLIN, 0};
    while (!said.contains("ready\n") && poll(&watched, 1, kStartTimeoutMs) > 0) {
        char chunk[256];
        const ssize_t n = read(output[0], chunk, sizeof chunk);
        if (n <= 0)
            break;
        said.append(chunk, n);
    }
    close(output[0]);
    if (!said.contains("ready\n")) {
        end();
        throw Failure(QStringLiteral("the FTP service did not start on %1:%2").arg(address).arg(port));
    }
}

void FtpService::stop()
{
    {
        std::lock_guard lock(mutex);
        if (stopping)
            return;
        stopping = true;
    }
    wakeWorker.notify_all();
    worker.join();
}

void FtpService::end()
{
    if (child <= 0)
        return;
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    child = -1;
}
