// Persons, their validity periods and time slots.
#include "terminal/TerminalCommands.h"

#include "terminal/CommandReplies.h"
#include "terminal/SentJson.h"
#include "terminal/PhotoStore.h"

#include <QTime>

using namespace CommandReplies;

namespace {

Json personJson(const Person& person)
{
    return {{"id", s(person.id)},
            {"idcardNum", s(person.idcardNum)},
            {"name", s(person.name)},
            {"IDNumber", s(person.idNumber)},
            {"tag", s(person.tag)},
            {"validTime", s(person.validUntil)},
            {"passtime", s(person.passtime)}};
}

// "yyyy-mm-dd hh:nn:ss" in local time; -1 when it is no such text.

} // namespace

Json TerminalCommands::personCreate(const Call& call)
{
    const Json sent = parseSent(readSentJson(call.values.bytes(QStringLiteral("person"))));
    if (!sent.is_object())
        return fail(QStringLiteral("person不是有效的JSON"));
    Person person;
    person.id = q(sent.value("id", Json()));
    person.idcardNum = q(sent.value("idcardNum", Json()));
    person.name = q(sent.value("name", Json()));
    person.idNumber = q(sent.value("IDNumber", Json()));
    person.tag = q(sent.value("tag", Json()));
    if (person.id.isEmpty())
        return fail(QStringLiteral("人员ID不能为空"));
    return store.with([&](TerminalState& state) {
        if (state.persons.count(person.id))
            return fail(QStringLiteral("人员ID已存在"));
        state.persons[person.id] = person;
        return ok(QStringLiteral("创建人员成功"), personJson(person));
    });
}

Json TerminalCommands::personUpdate(const Call& call)
{
    const Json sent = parseSent(readSentJson(call.values.bytes(QStringLiteral("person"))));
    if (!sent.is_object())
        return fail(QStringLiteral("person不是有效的JSON"));
    const QString id = q(sent.value("id", Json()));
    return store.with([&](TerminalState& state) {
        const auto found = state.persons.find(id);
        if (found == state.persons.end())
            return fail(kNoPerson);
        if (sent.contains("idcardNum"))
            found->second.idcardNum = q(sent["idcardNum"]);
        if (sent.contains("name"))
            found->second.name = q(sent["name"]);
        return ok(QStringLiteral("更新人员成功"), personJson(found->second));
    });
}

Json TerminalCommands::personDelete(const Call& call)
{
    const QString id = call.values.text(QStringLiteral("id"));
    std::vector<QString> photoPaths;
    const bool found = store.with([&](TerminalState& state) {
        if (!state.persons.erase(id))
            return false;
        for (auto face = state.faces.begin(); face != state.faces.end();) {
            if (face->second.personId == id) {
                photoPaths.push_back(face->second.photoPath);
                face = state.faces.erase(face);
            } else {
                ++face;
            }
        }
        return true;
    });
    for (const QString& path : photoPaths)
        photos.remove(path);
    return found ? ok(QStringLiteral("删除人员成功")) : fail(kNoPerson);
}

Json TerminalCommands::personFind(const Call& call)
{
    const QString id = call.values.text(QStringLiteral("id"));
    return store.with([&](TerminalState& state) {
        const auto found = state.persons.find(id);
        return found == state.persons.end() ? fail(kNoPerson)
                                            : ok(QStringLiteral("查询成功"), personJson(found->second));
    });
}

Json TerminalCommands::personFindByPage(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    bool lengthOk = false;
    bool indexOk = false;
    const int length = call.values.text(QStringLiteral("length")).toInt(&lengthOk);
    const int index = call.values.text(QStringLiteral("index")).toInt(&indexOk);
    if (!lengthOk || !indexOk || length < 1 || index < 0)
        return fail(QStringLiteral("分页参数无效"));
    const bool all = personId.isEmpty() || personId == QLatin1String("-1");
    return store.with([&](TerminalState& state) {
        if (!all && !state.persons.count(personId))
            return fail(kNoPerson);
        Json list = Json::array();
        int position = 0;
        for (const auto& [id, person] : state.persons) {
            if (!all && id != personId)
                continue;
            if (position >= index * length && position < (index + 1) * length)
                list.push_back(personJson(person));
            ++position;
        }
        const Json page = {{"index", index}, {"length", length}, {"size", list.size()}, {"total", position}};
        return ok(QStringLiteral("查询成功"), {{"pageInfo", page}, {"personInfo", list}});
    });
}

Json TerminalCommands::permissionsCreate(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    const QString time = call.values.text(QStringLiteral("time"));
    if (localMs(time) < 0)
        return fail(QStringLiteral("有效期时间无效"));
    return store.with([&](TerminalState& state) {
        const auto found = state.persons.find(personId);
        if (found == state.persons.end())
            return fail(kNoPerson);
        found->second.validUntil = time;
        return ok(QStringLiteral("设置有效期成功"));
    });
}

Json TerminalCommands::permissionsDelete(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    return store.with([&](TerminalState& state) {
        const auto found = state.persons.find(personId);
        if (found == state.persons.end())
            return fail(kNoPerson);
        found->second.validUntil.clear();
        return ok(QStringLiteral("删除有效期成功"));
    });
}

Json TerminalCommands::createPasstime(const Call& call)
{
    const Json sent = parseSent(readSentJson(call.values.bytes(QStringLiteral("passtime"))));
    if (!sent.is_object())
        return fail(QStringLiteral("passtime不是有效的JSON"));
    const QString personId = q(sent.value("personId", Json()));
    const QString passtime = q(sent.value("passtime", Json()));
    for (const QString& item : passtime.split(',')) {
        if (!item.isEmpty() && !QTime::fromString(item, QStringLiteral("HH:mm:ss")).isValid())
            return fail(QStringLiteral("时间段无效: ") + item);
    }
    return store.with([&](TerminalState& state) {
        const auto found = state.persons.find(personId);
        if (found == state.persons.end())
            return fail(kNoPerson);
        found->second.passtime = passtime;
        return ok(QStringLiteral("设置时间段成功"));
    });
}

Json TerminalCommands::deletePasstime(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    return store.with([&](TerminalState& state) {
        const auto found = state.persons.find(personId);
        if (found == state.persons.end())
            return fail(kNoPerson);
        found->second.passtime.clear();
        return ok(QStringLiteral("删除时间段成功"));
    });
}

// The photo of a face command: Base64 (line breaks allowed) of an image file.
