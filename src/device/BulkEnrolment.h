#pragma once

#include "device/DeviceConnection.h"
#include "device/EnrolRow.h"
#include "device/HttpClient.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

// Persons already on the terminal are left alone or overwritten.
enum class EnrolMode
{
    Skip,
    Overwrite
};

struct EnrolSettings
{
    DeviceConnection connection;
    QString password;
    EnrolMode mode = EnrolMode::Skip;
    bool easyWay = false; // chkEasyWay
    // The waits before the second and the third try of a command whose
    // transfer failed; a reply, even a refusal, is final.
    std::vector<std::chrono::milliseconds> retryWaits{std::chrono::seconds(1), std::chrono::seconds(3)};
};

// Imports rows one after the other, each by the commands of the persons
// page's single buttons: the find, then a create or an update, the validity
// when one is given, and the face. A row's photo is read when its face goes
// out. Runs on the caller's thread; cancel() may come from any other.
class BulkEnrolment
{
public:
    // Called after each row, in order, on the running thread.
    using RowDone = std::function<void(std::size_t index, const EnrolRow& row)>;

    BulkEnrolment(EnrolSettings settings, HttpClient& client);

    // Takes on the importable rows among rows, at the first step each has not
    // done yet, and reports each row as it ends; after a cancel, the rows not
    // begun are reported cancelled.
    void run(std::vector<EnrolRow>& rows, const RowDone& rowDone);

    // Stops after the command under way (a wait for a retry ends at once).
    void cancel();
    bool cancelled() const { return cancelled_; }

private:
    enum class Sent
    {
        Done,
        Refused,
        Cancelled
    };
    struct StepOutcome
    {
        Sent sent;
        // A refusal's "msg", or the error of the last try.
        QString reason;
        // A find's answer: the person is on the terminal.
        bool exists = false;
    };
    void importRow(EnrolRow& row);
    StepOutcome sendStep(const EnrolRow& row, EnrolStep step);
    bool wait(std::chrono::milliseconds time);

    EnrolSettings settings;
    HttpClient& client;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex;
    std::condition_variable woken;
};
