#pragma once

#include "server/ServerMessages.h"
#include "server/ServerWindow.h"

// A payment terminal's photo upload: every file part of the multipart form is
// shown to the user in turn, and the upload is always acknowledged.
namespace PhotoUpload {

ServerReply uploadFaceImage(const ServerRequest& request, ServerWindow& window);

} // namespace PhotoUpload
