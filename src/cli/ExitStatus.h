#pragma once

// What the program's exit status tells a script.
enum ExitStatus : int
{
    kSucceeded = 0,  // every item succeeded
    kItemFailed = 1, // some item failed, a refusal by the terminal included
    kUsageError = 2, // bad options, or an input file that cannot be read
    kUnreachable = 3 // the terminal answered nothing at all
};
