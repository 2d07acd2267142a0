#include "terminal/TerminalCommands.h"

#include "common/Failure.h"
#include "terminal/CommandReplies.h"
#include "terminal/SentJson.h"

using namespace CommandReplies;

TerminalCommands::TerminalCommands(TerminalStore& store, PhotoStore& photos, TerminalHooks hooks)
    : store(store), photos(photos), hooks(std::move(hooks))
{
    using T = TerminalCommands;
    const auto form = Password::Form;
    table = {
        {"getDeviceKey", {&T::getDeviceKey, Password::FormIfSent}},
        {"setPassWord", {&T::setPassWord, Password::None}},
        {"setNetInfo", {&T::setNetInfo, form}},
        {"setTime", {&T::setTime, form}},
        {"restartDevice", {&T::restartDevice, form}},
        {"device/reset", {&T::reset, form}},
        {"device/setTimeZone", {&T::setTimeZone, form}},
        {"device/setLanguage", {&T::setLanguage, form}},
        {"setScreenOrt", {&T::setScreenOrt, form}},
        {"widgetConfig", {&T::widgetConfig, form}},
        {"device/disable", {&T::disable, Password::JsonBody}},
        {"device/screenSaverTime", {&T::screenSaverTime, Password::JsonBody}},
        {"device/openDoorControl", {&T::openDoorControl, form}},
        {"setFTP", {&T::setFtp, form}},
        {"setConfig", {&T::setConfig, form}},
        {"device/config", {&T::config, form}},
        {"device/setIdentifyModel", {&T::setIdentifyModel, form}},
        {"setIdentifyCallBack", {&T::setIdentifyCallBack, form}},
        {"setDeviceHeartBeat", {&T::setDeviceHeartBeat, form}},
        {"setImgRegCallBack", {&T::setImgRegCallBack, form}},
        {"device/setQRCodeCallback", {&T::setQrCodeCallback, form}},
        {"setTaskInterfaceAddress", {&T::setTaskInterfaceAddress, form}},
        {"setTaskProcessingResultsAddress", {&T::setTaskProcessingResultsAddress, form}},
        {"setServerAddress", {&T::setServerAddress, form}},
        {"device/callback", {&T::callback, form}},
        {"person/create", {&T::personCreate, form}},
        {"person/update", {&T::personUpdate, form}},
        {"person/delete", {&T::personDelete, form}},
        {"person/find", {&T::personFind, form}},
        {"person/findByPage", {&T::personFindByPage, form}},
        {"person/permissionsCreate", {&T::permissionsCreate, form}},
        {"person/permissionsDelete", {&T::permissionsDelete, form}},
        {"person/createPasstime", {&T::createPasstime, form}},
        {"person/deletePasstime", {&T::deletePasstime, form}},
        {"face", {&T::faceCreate, form}},
        {"face/update", {&T::faceUpdate, form}},
        {"face/takeImg", {&T::faceTakeImg, form}},
        {"face/delete", {&T::faceDelete, form}},
        {"face/find", {&T::faceFind, form}},
        {"newFindRecords", {&T::newFindRecords, form}},
        {"newDeleteRecords", {&T::newDeleteRecords, form}},
        {"newDeleteRecordsByUnixTime", {&T::newDeleteRecordsByUnixTime, form}},
        {"setTemperatureConfig", {&T::setTemperatureConfig, form}},
        {"setMaskConfig", {&T::setMaskConfig, form}},
        {"bootOnline", {&T::bootOnline, form}},
    };
}

ServerReply TerminalCommands::handle(const ServerRequest& request)
{
    QString path = request.document;
    while (path.startsWith('/'))
        path.remove(0, 1);
    const auto found = table.find(path);

    ServerReply reply;
    reply.contentType = QStringLiteral("application/json;charset=UTF-8");
    Json answer;
    if (found == table.end()) {
        reply.status = 404;
        answer = fail(QStringLiteral("unknown command ") + request.document);
    } else {
        Call call;
        // Form fields come in the body, some commands carry theirs in the query.
        call.values = FormValues::parse(request.body);
        call.values.addMissing(FormValues::fromParams(request.params));
        const Entry& entry = found->second;
        if (entry.password == Password::JsonBody)
            call.body = parseSent(readSentJson(request.body));
        const QString sentPassword =
            entry.password == Password::JsonBody
                ? (call.body.is_object() ? q(call.body.value("pass", Json())) : QString())
                : call.values.text(QStringLiteral("pass"));
        const bool unchecked =
            entry.password == Password::None ||
            (entry.password == Password::FormIfSent && !call.values.has(QStringLiteral("pass")));
        const bool passwordOk =
            unchecked || store.with([&](TerminalState& state) { return state.password == sentPassword; });
        try {
            if (entry.password == Password::JsonBody && !call.body.is_object())
                answer = fail(QStringLiteral("请求不是有效的JSON"));
            else if (!passwordOk)
                answer = fail(QStringLiteral("密码错误"));
            else
                answer = (this->*entry.command)(call);
        } catch (const Failure& failure) {
            answer = fail(failure.text());
        }
        if (hooks.log)
            hooks.log(
                QStringLiteral("%1 -> %2").arg(path, answer.value("success", false) ? "ok" : "refused"));
    }
    reply.body = QByteArray::fromStdString(answer.dump());
    return reply;
}

void TerminalCommands::changed()
{
    if (hooks.callbacksChanged)
        hooks.callbacksChanged();
}
