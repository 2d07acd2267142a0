#pragma once

#include <QString>

// What the benchmarks read from wrk's report (run with --latency).
struct WrkResult
{
    double requestsPerSecond = 0;
    double p50Microseconds = 0;
    double p99Microseconds = 0;
    long long requests = 0;
    // Its socket-error and non-2xx lines, when it printed any.
    QString errors;
};

WrkResult parseWrk(const QString& output);
