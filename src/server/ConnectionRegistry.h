#pragma once

#include "server/ClosureReport.h"

#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>

// What the registry can ask of a connection, from any thread.
class ClosableConnection
{
public:
    virtual ~ClosableConnection() = default;
    // Closes the connection; with no reason the server is stopping.
    virtual void closeFor(const CloseReason* reason) = 0;
};

// The server's open connections, the one idle longest first: a connection
// still receiving its request moves to the back with every piece that comes.
class ConnectionRegistry
{
public:
    struct Member
    {
        std::weak_ptr<ClosableConnection> connection;
        // Which of the two lists holds it.
        bool busy = false;
    };
    using Entry = std::list<Member>::iterator;

    explicit ConnectionRegistry(int maxConnections) : maxConnections(maxConnections) {}

    // Adds a new connection at the back. At the limit the connection idle longest
    // is closed for it; false when every open one is busy, and the new one is
    // not admitted.
    bool add(const std::weak_ptr<ClosableConnection>& connection, Entry& entry);
    void remove(Entry entry);
    // A piece of the request came.
    void touch(Entry entry);
    // The request is complete: the connection is no longer a candidate for
    // closing at the limit.
    void setBusy(Entry entry);
    // Closes the connection idle longest; false when there is none.
    bool evictLongestIdle();

    void closeAll();
    void waitUntilEmpty();

private:
    std::shared_ptr<ClosableConnection> takeLongestIdle();

    const int maxConnections;
    std::mutex mutex;
    std::condition_variable empty;
    // Idle ones in the order of their last activity; busy ones after them.
    std::list<Member> idle;
    std::list<Member> busy;
};
