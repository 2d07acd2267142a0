#pragma once

#include "common/Failure.h"

// A command line the program cannot act on: exit status 2.
class UsageError : public Failure
{
public:
    using Failure::Failure;
};
