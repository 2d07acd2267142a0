#include "app/dialogs/SiteRunner.h"

#include "device/ConnectionCommands.h"

SiteRunner::SiteRunner(QObject* parent) : QObject(parent) {}

SiteRunner::~SiteRunner()
{
    stop();
}

void SiteRunner::stop()
{
    if (run)
        run->abort();
    if (thread.joinable())
        thread.join();
    running_ = false;
}

void SiteRunner::start(int parallel, const SiteRun::Traffic& traffic, std::vector<QString> addresses,
                       SiteRun::Job job)
{
    stop();
    run = std::make_unique<SiteRun>(parallel, traffic, kCommandTimeoutMs);
    running_ = true;
    thread = std::thread([this, addresses = std::move(addresses), job = std::move(job)] {
        run->run(addresses, job);
        post([this] {
            if (thread.joinable())
                thread.join();
            running_ = false;
            emit finished();
        });
    });
}

void SiteRunner::cancel()
{
    if (run)
        run->cancel();
}

void SiteRunner::post(std::function<void()> step)
{
    QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
}
