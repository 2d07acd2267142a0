#include "server/CallbackActivity.h"

#include "common/JsonText.h"
#include "server/RouteTable.h"

#include <algorithm>

namespace {

constexpr qsizetype kMaxParsedBody = 256 * 1024;

CallbackKind kindOf(Route route)
{
    switch (route) {
    case Route::HeartBeat:
        return CallbackKind::Heartbeat;
    case Route::Attendance:
    case Route::QrCodeCallback:
        return CallbackKind::Recognition;
    default:
        return CallbackKind::Consumption;
    }
}

QString deviceKeyOf(const ServerRequest& request)
{
    const QString prefix = QStringLiteral("deviceKey=");
    for (const QString& param : request.params) {
        if (param.startsWith(prefix))
            return param.mid(prefix.size(), CallbackActivity::kMaxKeyLength);
    }
    // Only a small body that can be a JSON object is parsed: a batch of records
    // with their photos is read by its route, not a second time for its sender.
    if (request.body.size() > kMaxParsedBody)
        return {};
    const auto first = std::find_if_not(request.body.begin(), request.body.end(),
                                        [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
    if (first == request.body.end() || *first != '{')
        return {};
    const nlohmann::ordered_json body = ParseJsonText(request.body.toStdString());
    const auto key = body.is_object() ? body.find("deviceKey") : body.end();
    if (key != body.end() && key->is_string())
        return QString::fromStdString(key->get<std::string>()).left(CallbackActivity::kMaxKeyLength);
    return {};
}

} // namespace

std::optional<CallbackSighting> SightingOf(const ServerRequest& request)
{
    const std::optional<Route> route = findRoute(request.document);
    if (!route)
        return std::nullopt;
    return CallbackSighting{kindOf(*route), deviceKeyOf(request), request.remoteAddress};
}

void CallbackActivity::note(const CallbackSighting& sighting)
{
    std::lock_guard lock(mutex);
    auto caller = std::find_if(seen.begin(), seen.end(), [&](const CallerActivity& known) {
        return sighting.deviceKey.isEmpty() ? known.address == sighting.address
                                            : known.deviceKey == sighting.deviceKey;
    });
    // A terminal first seen without its key is the same one once the key comes from that address.
    if (caller == seen.end() && !sighting.deviceKey.isEmpty()) {
        caller = std::find_if(seen.begin(), seen.end(), [&](const CallerActivity& known) {
            return known.deviceKey.isEmpty() && known.address == sighting.address;
        });
    }
    if (caller == seen.end()) {
        if (seen.size() >= kMaxCallers)
            return;
        caller = seen.insert(seen.end(), CallerActivity{});
    }
    if (!sighting.deviceKey.isEmpty())
        caller->deviceKey = sighting.deviceKey;
    caller->address = sighting.address;
    switch (sighting.kind) {
    case CallbackKind::Heartbeat:
        ++caller->heartbeats;
        caller->lastHeartbeat = QDateTime::currentDateTime();
        caller->lastHeartbeatAt = std::chrono::steady_clock::now();
        break;
    case CallbackKind::Recognition:
        ++caller->recognitions;
        break;
    case CallbackKind::Consumption:
        ++caller->consumptions;
        break;
    }
}

std::vector<CallerActivity> CallbackActivity::callers() const
{
    std::lock_guard lock(mutex);
    return seen;
}

QString PresenceText(const CallerActivity* caller, std::chrono::steady_clock::time_point now,
                     std::chrono::seconds heartbeatInterval)
{
    if (!caller)
        return QStringLiteral("未知");
    if (caller->lastHeartbeatAt && now - *caller->lastHeartbeatAt <= 3 * heartbeatInterval)
        return QStringLiteral("在线");
    return QStringLiteral("离线");
}
