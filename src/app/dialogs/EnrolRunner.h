#pragma once

#include "device/BulkEnrolment.h"

#include <QObject>
#include <memory>
#include <thread>

class TrafficLog;

// A bulk enrolment on a thread of its own with an HTTP client of its own, so
// that the window stays usable for the whole run; the check of a sheet, which
// decodes every photo, runs there too. Each row's end, the run's end and the
// check's outcome reach the window thread as queued calls. Ending the runner (the
// window closes) cancels the run, the request under way included, and waits
// for its thread.
class EnrolRunner : public QObject
{
    Q_OBJECT

public:
    struct Client
    {
        // Those of the client whose single commands the run repeats.
        int timeoutMs = 0;
        CookieJar cookies;
        TrafficLog* traffic = nullptr;
        QString context;
    };

    explicit EnrolRunner(QObject* parent);
    ~EnrolRunner() override;

    bool running() const { return running_; }
    // Imports rows; the indices in the signals are positions in rows.
    void start(std::vector<EnrolRow> rows, EnrolSettings settings, const Client& client);
    // Stops after the command under way.
    void cancel();
    // Reads and checks a sheet; its rows, or why it cannot be read, come in checked().
    void check(QByteArray csv, QString photoFolder);

signals:
    void rowDone(std::size_t index, const EnrolRow& row);
    void finished();
    void checked(const std::vector<EnrolRow>& rows, const QString& error);

private:
    void stop();

    bool running_ = false;
    std::unique_ptr<HttpClient> client;
    std::unique_ptr<BulkEnrolment> enrolment;
    std::thread thread;
};
