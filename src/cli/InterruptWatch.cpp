#include "cli/InterruptWatch.h"

#include <atomic>
#include <csignal>
#include <mutex>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char kInterrupted = 1;
constexpr char kEnded = 0;

int wakePipe[2] = {-1, -1};
std::atomic<bool> interrupted{false};
std::mutex stopMutex;
std::function<void()> currentStop;

void onSignal(int signal)
{
    if (interrupted.exchange(true)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    [[maybe_unused]] const ssize_t written = write(wakePipe[1], &kInterrupted, 1);
}

} // namespace

InterruptWatch::InterruptWatch()
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakePipe) != 0)
        return;
    watcher_ = std::thread([] {
        char byte = kEnded;
        while (read(wakePipe[0], &byte, 1) == 1 && byte == kInterrupted) {
            std::lock_guard lock(stopMutex);
            if (currentStop)
                currentStop();
        }
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Reads and connects under way go on; the engines stop between items.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

InterruptWatch::~InterruptWatch()
{
    if (!watcher_.joinable())
        return;
    [[maybe_unused]] const ssize_t written = write(wakePipe[1], &kEnded, 1);
    watcher_.join();
}

bool InterruptWatch::requested()
{
    return interrupted;
}

OnInterrupt::OnInterrupt(std::function<void()> stop)
{
    std::lock_guard lock(stopMutex);
    currentStop = std::move(stop);
    // An interrupt that came before the guard still stops what it guards.
    if (interrupted && currentStop)
        currentStop();
}

OnInterrupt::~OnInterrupt()
{
    std::lock_guard lock(stopMutex);
    currentStop = nullptr;
}
