#include "device/PersonCommands.h"

#include "common/TextCodec.h"
#include "device/CommandEnvelope.h"
#include "device/QueryValue.h"

namespace {

QByteArray asTyped(const QString& text)
{
    return TextCodec::toGbk(text);
}

QByteArray utf8(const QString& text)
{
    return TextCodec::toUtf8(text);
}

QByteArray sendPersonCommand(PersonCommand command, const PersonFields& fields,
                             const DeviceConnection& connection, HttpClient& client)
{
    FormFields form;
    form.set("pass", fields.password);
    auto post = [&](const char* path) { return PostForm(client, CommandUrl(connection, path), form); };
    switch (command) {
    case PersonCommand::Create:
        form.setBytes("person", PersonCreateObject(fields));
        return post("person/create");
    case PersonCommand::Update:
        form.setBytes("person", PersonUpdateObject(fields));
        return post("person/update");
    case PersonCommand::Delete:
        form.set("id", fields.empId);
        return post("person/delete");
    case PersonCommand::Find:
        return GetText(client, CommandUrl(connection, "person/find?id=" + QueryValue(fields.empId) +
                                                          "&pass=" + QueryValue(fields.password)));
    case PersonCommand::FindByPage:
        return GetText(client,
                       CommandUrl(connection, "person/findByPage?pass=" + QueryValue(fields.password) +
                                                  "&personId=" + QueryValue(fields.empId) +
                                                  "&length=1000&index=0"));
    case PersonCommand::PermissionsCreate:
        form.set("personId", fields.empId);
        form.set("time", fields.validDate.toString("yyyy-MM-dd HH:mm:ss"));
        return post("person/permissionsCreate");
    case PersonCommand::PermissionsDelete:
        form.set("personId", fields.empId);
        return post("person/permissionsDelete");
    case PersonCommand::CreatePasstime:
        form.setBytes("passtime", "{\"personId\":\"" + asTyped(fields.empId) + "\",\"passtime\":\"" +
                                      asTyped(PasstimeList(fields)) + "\"}");
        return post("person/createPasstime");
    case PersonCommand::DeletePasstime:
        form.set("personId", fields.empId);
        return post("person/deletePasstime");
    }
    return {};
}

} // namespace

QByteArray PersonCreateObject(const PersonFields& fields)
{
    return "{\"id\":\"" + asTyped(fields.empId) + "\",\"idcardNum\":\"" + utf8(fields.cardId) +
           "\",\"name\":\"" + utf8(fields.empName) + "\",\"IDNumber\":\"" + utf8(fields.cardId) +
           "\",\"tag\":\"XD888\"}";
}

QByteArray PersonUpdateObject(const PersonFields& fields)
{
    return "{\"id\":\"" + asTyped(fields.empId) + "\",\"idcardNum\":\"" + asTyped(fields.cardId) +
           "\",\"name\":\"" + utf8(fields.empName) + "\"}";
}

QString PasstimeList(const PersonFields& fields)
{
    QStringList times;
    for (const QString& time : fields.slotTimes)
        times << time;
    return times.join(',');
}

CommandLog RunPersonCommand(PersonCommand command, const PersonFields& fields,
                            const DeviceConnection& connection, HttpClient& client)
{
    CommandLog log;
    if (command == PersonCommand::CreatePasstime)
        log.lines << PasstimeList(fields);
    try {
        log.lines << DecodeReply(sendPersonCommand(command, fields, connection, client));
    } catch (const std::exception& error) {
        log.error = QString::fromUtf8(error.what());
    }
    return log;
}
