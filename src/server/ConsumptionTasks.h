#pragma once

#include "server/ServerMessages.h"
#include "server/ServerWindow.h"

#include <array>

// The payment terminal's configuration tasks: one task of the kind chosen in the
// window per request, and the acknowledgement of its outcome.
namespace ConsumptionTasks {

ServerReply getTask(const ServerRequest& request, ServerWindow& window);
ServerReply uploadTaskResults(const ServerRequest& request, ServerWindow& window);

// The task reply for these fields and task number; empty when no kind is chosen.
QString taskReplyText(const TaskFields& fields, const QString& taskNumber);

} // namespace ConsumptionTasks

// The group of fields shown for each task kind; kinds that read the same fields
// share a group.
inline constexpr std::array<const char*, 14> TaskGroupNames{
    "gpsetServerAddress", "gpworkConfig",   "gptradeTimeinterval", "gpreadConsumeRecords",   "gppersoncreate",
    "gppersondelete",     "gppersoncreate", "gppersonfindByPage",  "gppersonpermissionTime", "gppersondelete",
    "gpfacecreateByUrl",  "gpfacedelete",   "gpfacecreateByUrl",   "gppersondelete",
};

// The caption a shared group takes for a kind; null where the kind keeps it.
const char* TaskGroupCaption(int kind);
