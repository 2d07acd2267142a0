#pragma once

#include "terminal/TerminalState.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One request that the terminal sends on its own.
struct Outgoing
{
    // Names it in the console, such as "heartbeat" or "account query".
    QString what;
    QString url;
    QByteArray contentType;
    QByteArray body;
    // Runs on the sender's thread with the reply's body when it was answered.
    std::function<void(const QByteArray&)> then;
};

// Sends the terminal's callbacks one after another on a thread of its own and
// posts a heartbeat at the registered interval once its address is set.
// Addresses beyond loopback are refused unless the sender was made to allow
// them.
class CallbackSender
{
public:
    using Log = std::function<void(const QString&)>;

    CallbackSender(TerminalStore& store, bool anywhere, Log log);
    ~CallbackSender();
    CallbackSender(const CallbackSender&) = delete;
    CallbackSender& operator=(const CallbackSender&) = delete;

    void send(Outgoing request);
    // The heartbeat address or interval may have changed.
    void wake();

private:
    void run();
    void deliver(const Outgoing& request);
    Outgoing heartbeat();

    TerminalStore& store;
    const bool anywhere;
    Log log;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Outgoing> queue;
    bool stopping = false;
    bool rescheduled = false;
    std::thread thread;
};
