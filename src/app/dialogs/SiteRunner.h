#pragma once

#include "device/SiteRun.h"

#include <QObject>
#include <functional>
#include <memory>
#include <thread>

// A site run on a thread of its own, so that the window stays usable while
// many terminals are spoken to. Jobs hand their outcomes to the window thread
// through post(). Ending the runner (the dialog closes) aborts the run, the
// requests under way included, and waits for its thread.
class SiteRunner : public QObject
{
    Q_OBJECT

public:
    explicit SiteRunner(QObject* parent);
    ~SiteRunner() override;

    bool running() const { return running_; }
    void start(int parallel, const SiteRun::Traffic& traffic, std::vector<QString> addresses, SiteRun::Job job);
    // No further terminal starts; those under way end their actions.
    void cancel();
    // Runs step on the window thread, unless the runner is gone by then.
    void post(std::function<void()> step);
    void stop();

signals:
    void finished();

private:
    bool running_ = false;
    std::unique_ptr<SiteRun> run;
    std::thread thread;
};
