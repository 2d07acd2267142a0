#include "terminal/TerminalEvents.h"

#include "device/FormFields.h"
#include "terminal/CallbackPolicy.h"
#include "terminal/CallbackSender.h"
#include "terminal/GeneratedPhoto.h"
#include "terminal/PhotoStore.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <algorithm>

namespace {

const QByteArray kForm = "application/x-www-form-urlencoded";
const QByteArray kJson = "application/json";

QString orderNumber()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
}

} // namespace

TerminalEvents::TerminalEvents(TerminalStore& store, PhotoStore& photos, CallbackSender& sender)
    : store(store), photos(photos), sender(sender)
{
}

Record TerminalEvents::addRecord(qint64 timeMs)
{
    Record record;
    const qint64 id = store.with([&](TerminalState& state) {
        // A record's time names its photo, so no two records share one.
        record.timeMs = timeMs;
        const auto earlier = [](const Record& a, const Record& b) { return a.timeMs < b.timeMs; };
        while (std::binary_search(state.records.begin(), state.records.end(), record, earlier))
            ++record.timeMs;
        // Records take turns among the persons; with none they are strangers.
        record.personId = QStringLiteral("-1");
        if (!state.persons.empty()) {
            auto person = state.persons.begin();
            std::advance(person, static_cast<long>(state.nextRecordId % qint64(state.persons.size())));
            record.personId = person->first;
        }
        return state.nextRecordId++;
    });
    record.id = id;
    record.photoPath = photos.saveRecordPhoto(record.timeMs, generatedJpeg(static_cast<std::uint32_t>(id)));
    store.with([&](TerminalState& state) {
        const auto later =
            std::upper_bound(state.records.begin(), state.records.end(), record,
                             [](const Record& a, const Record& b) { return a.timeMs < b.timeMs; });
        state.records.insert(later, record);
    });
    return record;
}

void TerminalEvents::recognise(int count)
{
    for (int i = 0; i < count; ++i) {
        const Record record = addRecord(QDateTime::currentMSecsSinceEpoch());
        Outgoing request = store.with([&](TerminalState& state) {
            FormFields fields;
            fields.setBytes("deviceKey", state.serialNumber.toUtf8());
            fields.setBytes("ip", reportedAddress(state).toUtf8());
            fields.setBytes("personId", record.personId.toUtf8());
            fields.setBytes("time", QByteArray::number(record.timeMs));
            fields.setBytes("type", "face_0");
            fields.setBytes("path", ('/' + record.photoPath).toUtf8());
            if (state.callbacks.identifyBase64)
                fields.setBytes("imgBase64", photos.read(record.photoPath).toBase64());
            return Outgoing{QStringLiteral("recognition %1").arg(record.id),
                            state.callbacks.identify,
                            kForm,
                            fields.encoded(),
                            {}};
        });
        sender.send(std::move(request));
    }
}

void TerminalEvents::scanQrCode()
{
    Outgoing request = store.with([&](TerminalState& state) {
        FormFields fields;
        fields.setBytes("deviceKey", state.serialNumber.toUtf8());
        fields.setBytes("ip", reportedAddress(state).toUtf8());
        fields.setBytes("qrcode",
                        "QM" + QByteArray::number(QRandomGenerator::global()->bounded(100000, 999999)));
        fields.setBytes("time", QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
        return Outgoing{QStringLiteral("QR code"), state.callbacks.qrCode, kForm, fields.encoded(), {}};
    });
    sender.send(std::move(request));
}

void TerminalEvents::reportTakenPhoto(const Face& face)
{
    Outgoing request = store.with([&](TerminalState& state) {
        FormFields fields;
        fields.setBytes("deviceKey", state.serialNumber.toUtf8());
        fields.setBytes("ip", reportedAddress(state).toUtf8());
        fields.setBytes("personId", face.personId.toUtf8());
        fields.setBytes("faceId", face.faceId.toUtf8());
        fields.setBytes("path", ('/' + face.photoPath).toUtf8());
        fields.setBytes("time", QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
        if (state.callbacks.imgRegBase64)
            fields.setBytes("imgBase64", photos.read(face.photoPath).toBase64());
        return Outgoing{
            QStringLiteral("photo registration"), state.callbacks.imgReg, kForm, fields.encoded(), {}};
    });
    sender.send(std::move(request));
}

void TerminalEvents::pay()
{
    const auto [server, deviceKey, personId, idcardNum] = store.with([](TerminalState& state) {
        const bool anyone = state.persons.empty();
        return std::tuple(state.callbacks.server, state.serialNumber,
                          anyone ? QStringLiteral("10000") : state.persons.begin()->first,
                          anyone ? QStringLiteral("3698990470") : state.persons.begin()->second.idcardNum);
    });
    if (server.isEmpty()) {
        sender.send(Outgoing{QStringLiteral("payment"), QString(), kJson, {}, {}});
        return;
    }
    const Json query = {{"deviceKey", deviceKey.toStdString()},
                        {"personId", personId.toStdString()},
                        {"idcardNum", idcardNum.toStdString()},
                        {"workModel", 1},
                        {"tradePrice", 100}};
    CallbackSender* trader = &sender;
    const QString tradeUrl = serviceUrl(server, QStringLiteral("onlineTrade"));
    const std::string key = deviceKey.toStdString();
    auto trade = [trader, tradeUrl, key](const QByteArray& reply) {
        const Json account = Json::parse(reply.toStdString(), nullptr, false);
        const Json data = account.is_object() ? account.value("data", Json::object()) : Json::object();
        if (!account.is_object() || !account.value("success", false) || !data.is_object())
            return;
        const Json order = {{"deviceKey", key},
                            {"personId", data.value("personId", Json(""))},
                            {"idcardNum", data.value("idcardNum", Json(""))},
                            {"payid", orderNumber().toStdString()},
                            {"tradeType", 1},
                            {"workModel", 1},
                            {"tradePrice", 100}};
        trader->send(
            Outgoing{QStringLiteral("trade"), tradeUrl, kJson, QByteArray::fromStdString(order.dump()), {}});
    };
    sender.send(Outgoing{QStringLiteral("account query"), serviceUrl(server, QStringLiteral("queryAccount")),
                         kJson, QByteArray::fromStdString(query.dump()), trade});
}

void TerminalEvents::uploadPayPhoto()
{
    const QString server = store.with([](TerminalState& state) { return state.callbacks.server; });
    const QByteArray boundary =
        "----QuillmoorTerminal" + QByteArray::number(QDateTime::currentMSecsSinceEpoch());
    const QString payid = orderNumber();
    QByteArray body;
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"payid\"\r\n\r\n" +
            payid.toLatin1() + "\r\n";
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
            payid.toLatin1() + ".jpg\"\r\nContent-Type: image/jpeg\r\n\r\n";
    body += generatedJpeg(static_cast<std::uint32_t>(payid.right(6).toUInt()));
    body += "\r\n--" + boundary + "--\r\n";
    const QString url =
        server.isEmpty() ? QString() : serviceUrl(server, QStringLiteral("uploadFaceImage?payid=") + payid);
    sender.send(
        Outgoing{QStringLiteral("photo upload"), url, "multipart/form-data; boundary=" + boundary, body, {}});
}
