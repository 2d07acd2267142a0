#pragma once

#include "server/ServerMessages.h"

#include <QByteArray>

// The bytes of a reply on the wire: status line, Content-Type, Content-Length
// (only for a non-empty body), Retry-After (only when the reply asks for it),
// "Connection: close", a blank line, then the body.
// A reply to HEAD keeps its headers and leaves the body out.
QByteArray frameReply(const ServerReply& reply, bool headRequest = false);
