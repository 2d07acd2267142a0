#pragma once

#include <QString>
#include <nlohmann/json.hpp>
#include <optional>

// A consumption request's body, read as JSON. Keys are looked up at the top level
// by exact name; a body that is JSON but no object has no keys.
class ServiceBody
{
public:
    explicit ServiceBody(nlohmann::ordered_json json) : json(std::move(json)) {}

    // The value as text: a string's content, any other value in its JSON form
    // (a number gives its digits); nothing when the key is absent.
    std::optional<QString> text(const char* key) const;
    // The value as a whole number: an integer, a decimal number cut to its whole
    // part, a string of digits, true as 1; any other value counts as 0.
    std::optional<qint64> integer(const char* key) const;

private:
    const nlohmann::ordered_json* member(const char* key) const;

    nlohmann::ordered_json json;
};

// The body text (window text) parsed as JSON; nothing when it is not JSON or
// nests deeper than kMaxJsonDepth.
std::optional<ServiceBody> ParseServiceBody(const QString& text);
