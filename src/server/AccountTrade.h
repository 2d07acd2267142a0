#pragma once

#include "server/ServerMessages.h"
#include "server/ServerWindow.h"

// The payment terminal's account query and online trade: request values are
// copied into the window, and the reply is built from the account or trade group.
namespace AccountTrade {

ServerReply queryAccount(const ServerRequest& request, ServerWindow& window);
ServerReply onlineTrade(const ServerRequest& request, ServerWindow& window);

// A card number holding a pay code carries quotes of its own, which must stand
// escaped inside the reply's JSON string. Only quotes not yet escaped get a
// backslash, so that the field, which keeps the result, stays the same on every
// later request. Other card numbers come back unchanged.
QString escapePaycode(const QString& cardNumber);

} // namespace AccountTrade
