#pragma once

#include "server/ClosureReport.h"
#include "server/ConnectionRegistry.h"
#include "server/HandlerThreads.h"
#include "server/HttpServer.h"
#include "server/MemoryBudget.h"

// What a running server's connections share. They hold it themselves; the
// handler threads and the closure report belong to the server, which stops only
// once every connection is gone.
struct ServerShared
{
    ServerShared(HttpServer::Handler handler, const HttpServerLimits& limits, TrafficLog* traffic)
        : handler(std::move(handler)), limits(limits), traffic(traffic), budget(limits.memoryBudgetBytes),
          registry(limits.maxConnections)
    {
    }

    const HttpServer::Handler handler;
    const HttpServerLimits limits;
    TrafficLog* const traffic;
    MemoryBudget budget;
    ConnectionRegistry registry;
    HandlerThreads* handlers = nullptr;
    ClosureReport* closures = nullptr;
};
