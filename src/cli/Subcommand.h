#pragma once

#include <QCommandLineParser>
#include <vector>

class Output;

// One subcommand of quillmoor-cli: what the overview and its --help show, the
// options it takes and what it does. Each lives in a file of its own and has
// one entry in the table of SubcommandTable.cpp.
struct Subcommand
{
    const char* name;
    const char* synopsis; // its usage, after the program's name
    const char* summary;  // one line, for the overview and its --help
    void (*declare)(QCommandLineParser& parser);
    // Returns the exit status; a UsageError it throws ends the program with 2.
    int (*run)(const QCommandLineParser& parser, Output& out);
};

// In the order the overview lists them.
const std::vector<const Subcommand*>& Subcommands();
