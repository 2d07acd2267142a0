#pragma once

#include "server/ServerMessages.h"

#include <QDateTime>
#include <QString>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

// What the callbacks that reached the server tell of the terminals that sent
// them: who is alive, and how busy.
enum class CallbackKind
{
    Heartbeat,
    Recognition, // recognitions and QR codes
    Consumption, // the online payment service's routes
};

struct CallbackSighting
{
    CallbackKind kind;
    // The terminal's "deviceKey", from the parameters or a JSON body; empty when the request has none.
    QString deviceKey;
    QString address;
};

// The sighting a request gives; none when no route takes it.
std::optional<CallbackSighting> SightingOf(const ServerRequest& request);

struct CallerActivity
{
    QString deviceKey;
    QString address;
    // Both unset before the first heartbeat.
    QDateTime lastHeartbeat;
    std::optional<std::chrono::steady_clock::time_point> lastHeartbeatAt;
    int heartbeats = 0;
    int recognitions = 0;
    int consumptions = 0;
};

// A terminal is counted under its deviceKey where its requests carry one, and
// otherwise under the address they come from; callers beyond kMaxCallers are
// not counted. Safe to use from any thread.
class CallbackActivity
{
public:
    // Far more than a site has: requests with ever new keys cannot grow it further.
    static constexpr std::size_t kMaxCallers = 1024;
    // A deviceKey is counted by its first characters only.
    static constexpr qsizetype kMaxKeyLength = 128;

    void note(const CallbackSighting& sighting);
    // Every caller so far, in the order they were first seen.
    std::vector<CallerActivity> callers() const;

private:
    mutable std::mutex mutex;
    std::vector<CallerActivity> seen;
};

// "在线" when a heartbeat came within three intervals, "离线" after that,
// "未知" before any callback.
QString PresenceText(const CallerActivity* caller, std::chrono::steady_clock::time_point now,
                     std::chrono::seconds heartbeatInterval);
