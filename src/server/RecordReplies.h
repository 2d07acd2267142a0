#pragma once

#include "server/ServerMessages.h"
#include "server/ServerWindow.h"

// The payment terminal's record query, revocation, daily sums, menu check and
// confirmation, and offline record upload.
namespace RecordReplies {

ServerReply queryTerminalSeq(const ServerRequest& request, ServerWindow& window);
ServerReply revokeTerminalSeq(const ServerRequest& request, ServerWindow& window);
ServerReply queryTerminalSum(const ServerRequest& request, ServerWindow& window);
ServerReply queryOrderMenu(const ServerRequest& request, ServerWindow& window);
ServerReply confirmOrderMenu(const ServerRequest& request, ServerWindow& window);
ServerReply uploadRecords(const ServerRequest& request, ServerWindow& window);

} // namespace RecordReplies
