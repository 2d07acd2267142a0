#include "device/BulkEnrolment.h"

#include "device/FaceCommands.h"
#include "device/PersonCommands.h"

namespace {

std::optional<PersonCommand> personCommand(EnrolStep step)
{
    switch (step) {
    case EnrolStep::Find:
        return PersonCommand::Find;
    case EnrolStep::Create:
        return PersonCommand::Create;
    case EnrolStep::Update:
        return PersonCommand::Update;
    case EnrolStep::Validity:
        return PersonCommand::PermissionsCreate;
    default:
        return std::nullopt;
    }
}

// The command as its button sends it with the row's values in the page's fields.
CommandLog sendCommand(EnrolStep step, const EnrolRow& row, const Picture& photo,
                       const EnrolSettings& settings, HttpClient& client)
{
    if (const std::optional<PersonCommand> command = personCommand(step)) {
        PersonFields fields;
        fields.password = settings.password;
        fields.empId = row.id;
        fields.empName = row.name;
        fields.cardId = row.card;
        fields.validDate = row.validUntil.value_or(QDateTime());
        return RunPersonCommand(*command, fields, settings.connection, client);
    }
    FaceFields fields;
    fields.password = settings.password;
    fields.empId = row.id;
    fields.faceId = row.id;
    fields.easyWay = settings.easyWay;
    fields.photo = photo;
    const FaceCommand command = step == EnrolStep::Face ? FaceCommand::Register : FaceCommand::Update;
    return RunFaceCommand(command, fields, settings.connection, client);
}

// A "data" that holds something: the find's sign that the person exists.
bool holdsData(const DeviceReply& reply)
{
    if (!reply.has("data"))
        return false;
    const auto& data = reply.json().at("data");
    return !data.is_null() && !(data.is_string() && data.get_ref<const std::string&>().empty()) &&
           !((data.is_array() || data.is_object()) && data.empty());
}

std::vector<PlannedStep> stepsFor(bool exists, const EnrolRow& row)
{
    std::vector<PlannedStep> steps{{EnrolStep::Find, true}};
    steps.push_back({exists ? EnrolStep::Update : EnrolStep::Create});
    if (row.validUntil)
        steps.push_back({EnrolStep::Validity});
    steps.push_back({exists ? EnrolStep::FaceUpdate : EnrolStep::Face});
    return steps;
}

QString doneSteps(const EnrolRow& row)
{
    QStringList names;
    for (const PlannedStep& planned : row.steps) {
        if (planned.done)
            names << EnrolStepText(planned.step);
    }
    return names.isEmpty() ? QString() : QStringLiteral("已完成: ") + names.join(QStringLiteral("、"));
}

} // namespace

BulkEnrolment::BulkEnrolment(EnrolSettings settings, HttpClient& client)
    : settings(std::move(settings)), client(client)
{
}

void BulkEnrolment::run(std::vector<EnrolRow>& rows, const RowDone& rowDone)
{
    for (std::size_t index = 0; index < rows.size(); ++index) {
        EnrolRow& row = rows[index];
        if (!row.importable())
            continue;
        if (cancelled_) {
            row.state = EnrolState::Cancelled;
            row.note = doneSteps(row);
        } else {
            importRow(row);
        }
        if (rowDone)
            rowDone(index, row);
    }
}

void BulkEnrolment::cancel()
{
    {
        std::lock_guard lock(mutex);
        cancelled_ = true;
    }
    woken.notify_all();
}

bool BulkEnrolment::wait(std::chrono::milliseconds time)
{
    std::unique_lock lock(mutex);
    return !woken.wait_for(lock, time, [this] { return cancelled_.load(); });
}

void BulkEnrolment::importRow(EnrolRow& row)
{
    if (row.steps.empty())
        row.steps.push_back({EnrolStep::Find});
    QStringList failures;
    for (std::size_t at = 0; at < row.steps.size(); ++at) {
        if (row.steps[at].done)
            continue;
        const EnrolStep step = row.steps[at].step;
        const StepOutcome outcome = cancelled_ ? StepOutcome{Sent::Cancelled, {}} : sendStep(row, step);
        if (outcome.sent == Sent::Cancelled) {
            row.state = EnrolState::Cancelled;
            row.note = doneSteps(row);
            return;
        }
        if (outcome.sent == Sent::Refused) {
            failures << EnrolStepText(step) + QStringLiteral(": ") + outcome.reason;
            // Without the find's answer or the person, nothing later can go.
            if (step == EnrolStep::Find || step == EnrolStep::Create)
                break;
            continue;
        }
        row.steps[at].done = true;
        if (step == EnrolStep::Find) {
            if (outcome.exists && settings.mode == EnrolMode::Skip) {
                row.state = EnrolState::Skipped;
                row.note.clear();
                return;
            }
            row.steps = stepsFor(outcome.exists, row);
        }
    }
    row.state = failures.isEmpty() ? EnrolState::Succeeded : EnrolState::Failed;
    row.note = failures.join(QStringLiteral("；"));
}

// Sends one command, again after each wait while its transfer fails.
BulkEnrolment::StepOutcome BulkEnrolment::sendStep(const EnrolRow& row, EnrolStep step)
{
    Picture photo;
    if (step == EnrolStep::Face || step == EnrolStep::FaceUpdate) {
        try {
            photo = Picture::load(row.photoFile);
        } catch (const std::exception& error) {
            return {Sent::Refused, QString::fromUtf8(error.what())};
        }
    }
    CommandLog log = sendCommand(step, row, photo, settings, client);
    for (std::size_t retry = 0; log.error && retry < settings.retryWaits.size(); ++retry) {
        if (!wait(settings.retryWaits[retry]))
            return {Sent::Cancelled, {}};
        log = sendCommand(step, row, photo, settings, client);
    }
    if (log.error)
        return {Sent::Refused, *log.error};
    const QString text = log.lines.value(0);
    std::optional<DeviceReply> reply;
    try {
        reply = ParseReply(text);
    } catch (const std::exception&) {
        return {Sent::Refused, QStringLiteral("回复不是 JSON: ") + text.left(200)};
    }
    const bool succeeded = reply->hasSuccess() && reply->success();
    if (step == EnrolStep::Find)
        return {Sent::Done, {}, succeeded && holdsData(*reply)};
    if (succeeded)
        return {Sent::Done, {}};
    return {Sent::Refused, reply->has("msg") ? reply->text("msg") : text};
}
