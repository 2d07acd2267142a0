#pragma once

#include "server/ServerMessages.h"
#include "server/ServerWindow.h"

// The terminal's event callbacks: recognition events, QR codes and heartbeats.
// Each logs the request's parameter list and acknowledges with a fixed reply.
namespace EventCallbacks {

ServerReply attendance(const ServerRequest& request, ServerWindow& window);
ServerReply qrCodeCallback(const ServerRequest& request, ServerWindow& window);
ServerReply heartBeat(const ServerRequest& request, ServerWindow& window);

// Whether a task waits, as the heartbeat tells it: true, false, or nothing at all
// while neither radio button is checked.
QString heartbeatReplyText(const HeartbeatFields& fields);

} // namespace EventCallbacks
