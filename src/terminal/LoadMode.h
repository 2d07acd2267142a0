#pragma once

#include "terminal/TerminalOptions.h"

#include <QString>

struct LoadResult
{
    qint64 sent = 0;
    qint64 answered = 0;
    qint64 errors = 0;
    double seconds = 0;
    double p50Ms = 0;
    double p99Ms = 0;
    double maxMs = 0;
    // The first error's text, for the report.
    QString firstError;

    QString report() const;
};

// Plays options.terminals terminals, each with its own connection thread, that
// together send options.rate callbacks a second to options.server for
// options.seconds: heartbeats, recognition events and QR codes in turn.
// Each request waits at most 5 s for its reply; late requests are sent at once
// rather than dropped, so the count stays bounded by rate times seconds.
LoadResult runLoad(const LoadOptions& options);
