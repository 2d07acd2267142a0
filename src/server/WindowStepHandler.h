#pragma once

#include "server/HttpServer.h"
#include "server/ServerWindow.h"
#include "server/WindowBridge.h"

// The server's request handler: each request is answered by HTTPServerCommandGet
// in one window step; an abandoned step (server stopped, window gone) leaves the
// request without reply.
HttpServer::Handler windowStepHandler(WindowBridge& bridge, ServerWindow& window);

// Where the server's closure counts go: a line in mmoLog, written in a window
// step of its own that nobody waits for.
HttpServer::ClosureNotice windowClosureNotice(WindowBridge& bridge, ServerWindow& window);
