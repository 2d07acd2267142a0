#include "server/HttpServer.h"

#include <sys/resource.h>

#include <algorithm>

namespace {

// Descriptors left for everything but the server's connections: Qt, the device
// commands, FTP fetches, files and the listening socket.
constexpr rlim_t kSpareDescriptors = 256;
constexpr rlim_t kFewestConnections = 16;
constexpr rlim_t kMostConnections = 1 << 20;

} // namespace

int connectionsTheFileLimitAllows()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return static_cast<int>(kMostConnections);
    const rlim_t room = limit.rlim_cur > kSpareDescriptors ? limit.rlim_cur - kSpareDescriptors : 0;
    return static_cast<int>(std::clamp(room, kFewestConnections, kMostConnections));
}
