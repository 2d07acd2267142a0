#include "cli/Subcommand.h"

extern const Subcommand kSerialSubcommand;
extern const Subcommand kTimeSubcommand;
extern const Subcommand kSendSubcommand;
extern const Subcommand kEnrolSubcommand;
extern const Subcommand kRecordsSubcommand;
extern const Subcommand kSiteSubcommand;

const std::vector<const Subcommand*>& Subcommands()
{
    static const std::vector<const Subcommand*> table{&kSerialSubcommand, &kTimeSubcommand, &kSendSubcommand,
                                                      &kEnrolSubcommand, &kRecordsSubcommand,
                                                      &kSiteSubcommand};
    return table;
}
