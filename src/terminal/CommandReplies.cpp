#include "terminal/CommandReplies.h"

#include <QDateTime>

namespace CommandReplies {

const QString kNoPerson = QStringLiteral("人员不存在");

QString q(const Json& value)
{
    if (value.is_string())
        return QString::fromStdString(value.get<std::string>());
    return value.is_null() ? QString() : QString::fromStdString(value.dump());
}

Json ok(const QString& message, Json data)
{
    Json reply = {{"result", 1}, {"success", true}, {"msg", s(message)}};
    if (!data.is_null())
        reply["data"] = std::move(data);
    return reply;
}

Json fail(const QString& message)
{
    return {{"result", 0}, {"success", false}, {"msg", s(message)}};
}

Json parseSent(const QString& text)
{
    return Json::parse(text.toStdString(), nullptr, false);
}

qint64 localMs(const QString& text)
{
    const QDateTime time = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return time.isValid() ? time.toMSecsSinceEpoch() : -1;
}

Json formObject(const FormValues& values, std::initializer_list<const char*> names)
{
    Json object = Json::object();
    for (const char* name : names) {
        if (values.has(QString::fromLatin1(name)))
            object[name] = s(values.text(QString::fromLatin1(name)));
    }
    return object;
}

} // namespace CommandReplies
