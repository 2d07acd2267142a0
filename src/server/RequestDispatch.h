#pragma once

#include "server/ServerMessages.h"
#include "server/ServerWindow.h"

// Answers one request inside its window step: logs the path, picks the route by
// keyword and lets it build the reply. An error inside a route gives status 500
// with the error's text; whatever the route did before stays done.
ServerReply HTTPServerCommandGet(const ServerRequest& request, ServerWindow& window);

// The common last step of the JSON routes: the reply text goes out as UTF-8 and
// is logged to mmMsg.
void SendJsonReply(ServerReply& reply, ServerWindow& window, const QString& text);
