#include "app/dialogs/EnrolRunner.h"

#include "device/CommandEnvelope.h"
#include "device/EnrolSheet.h"

EnrolRunner::EnrolRunner(QObject* parent) : QObject(parent) {}

EnrolRunner::~EnrolRunner()
{
    if (enrolment)
        enrolment->cancel();
    if (client)
        client->cancel();
    stop();
}

void EnrolRunner::stop()
{
    if (thread.joinable())
        thread.join();
}

void EnrolRunner::start(std::vector<EnrolRow> rows, EnrolSettings settings, const Client& from)
{
    stop();
    client = std::make_unique<HttpClient>(kFormContentType);
    client->setTimeoutMs(from.timeoutMs);
    client->setCookies(from.cookies);
    client->setTrafficLog(from.traffic);
    client->setTrafficContext(from.context);
    enrolment = std::make_unique<BulkEnrolment>(std::move(settings), *client);
    running_ = true;
    thread = std::thread([this, rows = std::move(rows)]() mutable {
        enrolment->run(rows, [this](std::size_t index, const EnrolRow& row) {
            QMetaObject::invokeMethod(
                this, [this, index, row] { emit rowDone(index, row); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this,
            [this] {
                stop();
                running_ = false;
                emit finished();
            },
            Qt::QueuedConnection);
    });
}

void EnrolRunner::cancel()
{
    if (enrolment)
        enrolment->cancel();
}

void EnrolRunner::check(QByteArray csv, QString photoFolder)
{
    stop();
    running_ = true;
    thread = std::thread([this, csv = std::move(csv), photoFolder = std::move(photoFolder)] {
        std::vector<EnrolRow> rows;
        QString error;
        try {
            rows = ReadEnrolSheet(csv, photoFolder);
        } catch (const std::exception& failure) {
            error = QString::fromUtf8(failure.what());
        }
        QMetaObject::invokeMethod(
            this,
            [this, rows = std::move(rows), error] {
                stop();
                running_ = false;
                emit checked(rows, error);
            },
            Qt::QueuedConnection);
    });
}
