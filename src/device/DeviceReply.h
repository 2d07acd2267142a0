#pragma once

#include <QByteArray>
#include <QString>
#include <nlohmann/json.hpp>
#include <optional>

// A terminal's reply parsed as a JSON object. Members keep their order, so a
// structured member reads back as the terminal wrote it.
class DeviceReply
{
public:
    explicit DeviceReply(nlohmann::ordered_json json) : json_(std::move(json)) {}

    // An object with "success"; otherwise the reply is abnormal.
    bool hasSuccess() const;
    // True for true, a non-zero number, a non-empty string, an object or an
    // array; false for false, zero, an empty string or null.
    bool success() const;

    bool has(const char* member) const;
    // A string member's content; any other member's JSON text. A missing member
    // throws Failure.
    QString text(const char* member) const;

    const nlohmann::ordered_json& json() const { return json_; }

private:
    nlohmann::ordered_json json_;
};

// The reply text as logged and parsed: the body decoded from UTF-8; a body
// that is not valid UTF-8 gives the empty text.
QString DecodeReply(const QByteArray& body);

// A text that is not JSON at all (the empty text included), or that nests
// deeper than kMaxJsonDepth, throws Failure.
DeviceReply ParseReply(const QString& text);
