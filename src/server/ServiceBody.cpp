#include "server/ServiceBody.h"

#include "common/JsonText.h"

#include <cmath>

const nlohmann::ordered_json* ServiceBody::member(const char* key) const
{
    if (!json.is_object())
        return nullptr;
    const auto found = json.find(key);
    return found == json.end() ? nullptr : &*found;
}

std::optional<QString> ServiceBody::text(const char* key) const
{
    const nlohmann::ordered_json* value = member(key);
    if (!value)
        return std::nullopt;
    if (value->is_string())
        return QString::fromStdString(value->get<std::string>());
    return QString::fromStdString(
        value->dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

std::optional<qint64> ServiceBody::integer(const char* key) const
{
    const nlohmann::ordered_json* value = member(key);
    if (!value)
        return std::nullopt;
    if (value->is_number_integer())
        return value->get<qint64>();
    if (value->is_number_float()) {
        const double number = value->get<double>();
        return std::isfinite(number) && std::fabs(number) < 9e18 ? qint64(number) : 0;
    }
    if (value->is_boolean())
        return value->get<bool>() ? 1 : 0;
    if (value->is_string()) {
        bool ok = false;
        const qint64 number = QString::fromStdString(value->get<std::string>()).trimmed().toLongLong(&ok);
        return ok ? number : 0;
    }
    return 0;
}

std::optional<ServiceBody> ParseServiceBody(const QString& text)
{
    nlohmann::ordered_json json = ParseJsonText(text.toStdString());
    if (json.is_discarded())
        return std::nullopt;
    return ServiceBody(std::move(json));
}
