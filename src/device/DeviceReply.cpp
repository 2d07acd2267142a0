#include "device/DeviceReply.h"

#include "common/Failure.h"
#include "common/JsonText.h"
#include "common/TextCodec.h"

namespace {

QString jsonText(const nlohmann::ordered_json& value)
{
    if (value.is_string())
        return QString::fromStdString(value.get<std::string>());
    return QString::fromStdString(
        value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

} // namespace

bool DeviceReply::hasSuccess() const
{
    return has("success");
}

bool DeviceReply::success() const
{
    const auto& value = json_.at("success");
    switch (value.type()) {
    case nlohmann::ordered_json::value_t::boolean:
        return value.get<bool>();
    case nlohmann::ordered_json::value_t::number_integer:
        return value.get<std::int64_t>() != 0;
    case nlohmann::ordered_json::value_t::number_unsigned:
        return value.get<std::uint64_t>() != 0;
    case nlohmann::ordered_json::value_t::number_float:
        return value.get<double>() != 0.0;
    case nlohmann::ordered_json::value_t::string:
        return !value.get_ref<const std::string&>().empty();
    case nlohmann::ordered_json::value_t::object:
    case nlohmann::ordered_json::value_t::array:
        return true;
    default:
        return false;
    }
}

bool DeviceReply::has(const char* member) const
{
    return json_.is_object() && json_.contains(member);
}

QString DeviceReply::text(const char* member) const
{
    if (!has(member))
        throw Failure(QStringLiteral("The reply has no member \"%1\"").arg(QString::fromLatin1(member)));
    return jsonText(json_.at(member));
}

QString DecodeReply(const QByteArray& body)
{
    return TextCodec::fromUtf8Strict(body);
}

DeviceReply ParseReply(const QString& text)
{
    nlohmann::ordered_json json = ParseJsonText(text.toStdString());
    if (json.is_discarded())
        throw Failure(QStringLiteral("Invalid JSON reply: ") + text);
    return DeviceReply(std::move(json));
}
