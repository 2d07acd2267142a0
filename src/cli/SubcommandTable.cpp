#include "cli/Subcommand.h"

extern const Subcommand kSerialSubcommand;
extern const Subcommand kTimeSubcommand;
extern const Subcommand kSendSubcommand;
extern const Subcommand kEnrolSubcommand;
extern const Subcommand kRecordsSubcommand;

const std::vector<const Subcommand*>& Subcommands()
{
    static const std::vector<const Subcommand*> table{&kSerialSubcommand, &kTimeSubcommand, &kSendSubcommand,
                                                      &kEnrolSubcommand, &kRecordsSubcommand};
    return table;
}
