// Face photos, kept below "RegisterPhoto".
#include "terminal/TerminalCommands.h"

#include "terminal/CommandReplies.h"
#include "common/Failure.h"
#include "terminal/GeneratedPhoto.h"
#include "terminal/PhotoStore.h"

#include <QImage>

using namespace CommandReplies;

static QByteArray sentPhoto(const FormValues& values, const char* name)
{
    const QByteArray bytes = QByteArray::fromBase64(values.bytes(QString::fromLatin1(name)));
    if (bytes.isEmpty() || QImage::fromData(bytes).isNull())
        throw Failure(QStringLiteral("照片无效"));
    return bytes;
}

Json TerminalCommands::faceCreate(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    const QString faceId = call.values.text(QStringLiteral("faceId"));
    if (!PhotoStore::isPlainFileName(faceId))
        return fail(QStringLiteral("人脸ID无效"));
    if (!call.values.has(QStringLiteral("base64")))
        return fail(call.values.has(QStringLiteral("url")) ? QStringLiteral("不支持按url注册,请发送base64")
                                                           : QStringLiteral("缺少照片"));
    const QByteArray photo = sentPhoto(call.values, "base64");
    const QString refusal = store.with([&](TerminalState& state) {
        if (!state.persons.count(personId))
            return kNoPerson;
        if (state.faces.count(faceId))
            return QStringLiteral("人脸ID已存在");
        state.faces[faceId] = Face{faceId, personId, QString()};
        return QString();
    });
    if (!refusal.isEmpty())
        return fail(refusal);
    const QString path = photos.saveFace(faceId, photo);
    store.with([&](TerminalState& state) { state.faces[faceId].photoPath = path; });
    return ok(QStringLiteral("创建人脸成功"), s(faceId));
}

Json TerminalCommands::faceUpdate(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    const QString faceId = call.values.text(QStringLiteral("faceId"));
    const QByteArray photo = sentPhoto(call.values, "imgBase64");
    const QString refusal = store.with([&](TerminalState& state) {
        const auto found = state.faces.find(faceId);
        if (found == state.faces.end())
            return QStringLiteral("人脸不存在");
        if (found->second.personId != personId)
            return QStringLiteral("人脸不属于该人员");
        return QString();
    });
    if (!refusal.isEmpty())
        return fail(refusal);
    photos.saveFace(faceId, photo);
    return ok(QStringLiteral("照片更新成功"));
}

Json TerminalCommands::faceTakeImg(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    if (!PhotoStore::isPlainFileName(personId))
        return fail(kNoPerson);
    const bool known = store.with([&](TerminalState& state) { return state.persons.count(personId) > 0; });
    if (!known)
        return fail(kNoPerson);
    const QString path =
        photos.saveFace(personId, generatedJpeg(static_cast<std::uint32_t>(qHash(personId))));
    const Face face{personId, personId, path};
    store.with([&](TerminalState& state) { state.faces[personId] = face; });
    if (hooks.photoTaken)
        hooks.photoTaken(face);
    return ok(QStringLiteral("拍照注册成功"), s(personId));
}

Json TerminalCommands::faceDelete(const Call& call)
{
    const QString faceId = call.values.text(QStringLiteral("faceId"));
    const QString path = store.with([&](TerminalState& state) {
        const auto found = state.faces.find(faceId);
        if (found == state.faces.end())
            return QString();
        const QString photoPath = found->second.photoPath;
        state.faces.erase(found);
        return photoPath;
    });
    if (path.isEmpty())
        return fail(QStringLiteral("人脸不存在"));
    photos.remove(path);
    return ok(QStringLiteral("删除人脸成功"));
}

Json TerminalCommands::faceFind(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    return store.with([&](TerminalState& state) {
        if (!state.persons.count(personId))
            return fail(kNoPerson);
        Json list = Json::array();
        for (const auto& [id, face] : state.faces) {
            if (face.personId == personId)
                list.push_back(
                    {{"faceId", s(id)}, {"personId", s(personId)}, {"path", s('/' + face.photoPath)}});
        }
        return list.empty() ? fail(QStringLiteral("该人员没有照片")) : ok(QStringLiteral("查询成功"), list);
    });
}
