#include "terminal/TerminalCommands.h"

#include "common/Failure.h"
#include "terminal/CallbackPolicy.h"
#include "terminal/GeneratedPhoto.h"
#include "terminal/PhotoStore.h"

#include <QDateTime>
#include <QImage>
#include <algorithm>

namespace {

std::string s(const QString& text)
{
    return text.toStdString();
}

QString q(const Json& value)
{
    if (value.is_string())
        return QString::fromStdString(value.get<std::string>());
    return value.is_null() ? QString() : QString::fromStdString(value.dump());
}

Json ok(const QString& message, Json data = nullptr)
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

// A JSON text that the tool built from a template; nothing when it is broken.
Json parseSent(const QString& text)
{
    return Json::parse(text.toStdString(), nullptr, false);
}

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
qint64 localMs(const QString& text)
{
    const QDateTime time = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return time.isValid() ? time.toMSecsSinceEpoch() : -1;
}

bool isHexText(const QByteArray& text)
{
    return text.size() % 2 == 0 && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c));
           });
}

const QString kNoPerson = QStringLiteral("人员不存在");

} // namespace

TerminalCommands::TerminalCommands(TerminalStore& store, PhotoStore& photos, TerminalHooks hooks)
    : store(store), photos(photos), hooks(std::move(hooks))
{
    using T = TerminalCommands;
    const auto form = Password::Form;
    table = {
        {"getDeviceKey", {&T::getDeviceKey, Password::None}},
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
            call.body = parseSent(readSentText(request.body));
        const QString sentPassword =
            entry.password == Password::JsonBody
                ? (call.body.is_object() ? q(call.body.value("pass", Json())) : QString())
                : call.values.text(QStringLiteral("pass"));
        const bool passwordOk = entry.password == Password::None || store.with([&](TerminalState& state) {
            return state.password == sentPassword;
        });
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

Json TerminalCommands::getDeviceKey(const Call&)
{
    return ok(QStringLiteral("获取成功"),
              s(store.with([](TerminalState& state) { return state.serialNumber; })));
}

Json TerminalCommands::setPassWord(const Call& call)
{
    const QString oldPass = call.values.text(QStringLiteral("oldPass"));
    const QString newPass = call.values.text(QStringLiteral("newPass"));
    return store.with([&](TerminalState& state) {
        if (oldPass != state.password)
            return fail(QStringLiteral("原密码错误"));
        if (newPass.isEmpty())
            return fail(QStringLiteral("新密码不能为空"));
        state.password = newPass;
        return ok(QStringLiteral("修改密码成功"));
    });
}

// Keeps the named form fields under one settings key.
static Json formObject(const FormValues& values, std::initializer_list<const char*> names)
{
    Json object = Json::object();
    for (const char* name : names) {
        if (values.has(QString::fromLatin1(name)))
            object[name] = s(values.text(QString::fromLatin1(name)));
    }
    return object;
}

Json TerminalCommands::setNetInfo(const Call& call)
{
    const Json network = formObject(call.values, {"isDHCPMod", "ip", "gateway", "subnetMask", "DNS"});
    if (!network.contains("ip"))
        return fail(QStringLiteral("缺少ip"));
    // Only reported: the simulator keeps listening where it was started.
    store.with([&](TerminalState& state) { state.settings["network"] = network; });
    return ok(QStringLiteral("有线网络设置成功"));
}

Json TerminalCommands::setTime(const Call& call)
{
    bool isNumber = false;
    const qint64 timestamp = call.values.text(QStringLiteral("timestamp")).toLongLong(&isNumber);
    if (!isNumber)
        return fail(QStringLiteral("时间戳无效"));
    store.with([&](TerminalState& state) {
        state.settings["clockOffsetMs"] = timestamp - QDateTime::currentMSecsSinceEpoch();
    });
    return ok(QStringLiteral("设置成功"));
}

Json TerminalCommands::restartDevice(const Call&)
{
    return ok(QStringLiteral("设备重启中"));
}

Json TerminalCommands::reset(const Call& call)
{
    const bool deleteData = call.values.text(QStringLiteral("delete")) == QLatin1String("true");
    std::vector<QString> photoPaths;
    store.with([&](TerminalState& state) {
        state.settings = Json::object();
        state.callbacks = CallbackAddresses();
        if (deleteData) {
            for (const auto& [id, face] : state.faces)
                photoPaths.push_back(face.photoPath);
            for (const Record& record : state.records)
                photoPaths.push_back(record.photoPath);
            state.persons.clear();
            state.faces.clear();
            state.records.clear();
        }
    });
    for (const QString& path : photoPaths)
        photos.remove(path);
    changed();
    return ok(deleteData ? QStringLiteral("设备已重置,数据已删除") : QStringLiteral("设备已重置"));
}

Json TerminalCommands::keepForm(const Call& call, const char* key, const QString& message)
{
    static const std::map<std::string, std::initializer_list<const char*>> fields = {
        {"timeZone", {"timeZone"}},
        {"language", {"languageType"}},
        {"orientation", {"orientation"}},
        {"widgets", {"showIp", "showDeviceKey", "showPeopleNum"}},
        {"openDoor", {"type", "content"}},
        {"mask", {"isMaskOpen", "isVoiceOpen", "voiceContext", "isMaskFoceOpen"}},
        {"temperature", {"isTemperatureOpen",       "isVoiceOpen",           "voiceContext",
                         "errorTemperature",        "deviceStyle",           "temperatureErrorPass",
                         "temperatureMeasurePlace", "temperatureMeasureMin", "temperatureMeasureMax",
                         "temperatureCompensation", "lowTempMapSourceMin",   "lowTempMapSourceMax",
                         "lowTempMapTargetMin",     "lowTempMapTargetMax",   "tempUnit",
                         "tempMapSwitch",           "highTempMapSourceMin",  "highTempMapSourceMax",
                         "highTempMapTargetMin",    "highTempMapTargetMax"}},
    };
    const Json object = formObject(call.values, fields.at(key));
    store.with([&](TerminalState& state) { state.settings[key] = object; });
    return ok(message);
}

Json TerminalCommands::setTimeZone(const Call& call)
{
    if (call.values.text(QStringLiteral("timeZone")).isEmpty())
        return fail(QStringLiteral("缺少timeZone"));
    return keepForm(call, "timeZone", QStringLiteral("设置时区成功"));
}

Json TerminalCommands::setLanguage(const Call& call)
{
    const QString language = call.values.text(QStringLiteral("languageType"));
    if (language != QLatin1String("zh_CN") && language != QLatin1String("en"))
        return fail(QStringLiteral("不支持的语言"));
    return keepForm(call, "language", QStringLiteral("语言切换成功"));
}

Json TerminalCommands::setScreenOrt(const Call& call)
{
    const QString orientation = call.values.text(QStringLiteral("orientation"));
    if (orientation != QLatin1String("1") && orientation != QLatin1String("2"))
        return fail(QStringLiteral("屏幕方向无效"));
    return keepForm(call, "orientation", QStringLiteral("设置屏幕方向成功"));
}

Json TerminalCommands::widgetConfig(const Call& call)
{
    return keepForm(call, "widgets", QStringLiteral("修改隐藏功能成功"));
}

Json TerminalCommands::disable(const Call& call)
{
    const Json value = call.body.value("isDisable", Json());
    if (!value.is_boolean())
        return fail(QStringLiteral("isDisable无效"));
    store.with([&](TerminalState& state) { state.settings["disabled"] = value; });
    return ok(value.get<bool>() ? QStringLiteral("设备已禁用") : QStringLiteral("设备已启用"));
}

Json TerminalCommands::screenSaverTime(const Call& call)
{
    const Json value = call.body.value("time", Json());
    if (!value.is_number_integer() || value.get<int>() < 1 || value.get<int>() > 60)
        return fail(QStringLiteral("屏保时间须在1-60之间"));
    store.with([&](TerminalState& state) { state.settings["screenSaverTime"] = value; });
    return ok(QStringLiteral("设置成功"));
}

Json TerminalCommands::openDoorControl(const Call& call)
{
    const QString type = call.values.text(QStringLiteral("type"));
    if (type != "1" && type != "2" && type != "3" && type != "4")
        return fail(QStringLiteral("开门类型无效"));
    if (type == "4" && !parseSent(call.values.text(QStringLiteral("content"))).is_object())
        return fail(QStringLiteral("content无效"));
    if (hooks.log)
        hooks.log(QStringLiteral("door opened (type %1)").arg(type));
    return keepForm(call, "openDoor", QStringLiteral("开门成功"));
}

Json TerminalCommands::setFtp(const Call& call)
{
    FtpAccount account;
    account.user = call.values.text(QStringLiteral("username"));
    account.password = call.values.text(QStringLiteral("password"));
    if (account.user.isEmpty())
        return fail(QStringLiteral("账号不能为空"));
    const bool same = store.with([&](TerminalState& state) {
        return state.ftp.user == account.user && state.ftp.password == account.password;
    });
    if (!same && hooks.ftpAccountChanged && !hooks.ftpAccountChanged(account))
        return fail(QStringLiteral("FTP服务重启失败"));
    store.with([&](TerminalState& state) { state.ftp = account; });
    return ok(QStringLiteral("FTP设置成功"));
}

Json TerminalCommands::setConfig(const Call& call)
{
    const Json config = parseSent(call.values.text(QStringLiteral("config")));
    if (!config.is_object())
        return fail(QStringLiteral("config不是有效的JSON"));
    store.with([&](TerminalState& state) { state.settings["config"] = config; });
    return ok(QStringLiteral("设置成功"), "设备设置成功");
}

Json TerminalCommands::config(const Call&)
{
    return store.with([](TerminalState& state) {
        // The recognition configuration, then what the other commands set.
        Json data = state.settings.value("config", Json::object());
        Json device = state.settings;
        device.erase("config");
        device["ip"] = s(reportedAddress(state));
        device["deviceKey"] = s(state.serialNumber);
        data["device"] = device;
        return ok(QStringLiteral("查询成功"), data);
    });
}

Json TerminalCommands::setIdentifyModel(const Call& call)
{
    const Json config = parseSent(call.values.text(QStringLiteral("config")));
    if (!config.is_object())
        return fail(QStringLiteral("config不是有效的JSON"));
    store.with([&](TerminalState& state) { state.settings["identifyModel"] = config; });
    return ok(QStringLiteral("设置成功"), "识别模式设置成功");
}

Json TerminalCommands::registerAddress(const Call& call, const char* name,
                                       QString CallbackAddresses::*address)
{
    if (!call.values.has(QString::fromLatin1(name)))
        return fail(QStringLiteral("缺少") + QString::fromLatin1(name));
    const QString url = call.values.text(QString::fromLatin1(name));
    store.with([&](TerminalState& state) { state.callbacks.*address = url; });
    changed();
    if (url.isEmpty())
        return ok(QStringLiteral("已清除"), "已清除");
    if (!isLoopbackUrl(url) && !hooks.callbacksAnywhere) {
        if (hooks.log)
            hooks.log(QStringLiteral("kept %1, but callbacks go to loopback addresses only (see "
                                     "--callbacks-anywhere)")
                          .arg(url));
        return ok(QStringLiteral("设置成功"), "设置成功(非本机地址,不回调)");
    }
    return ok(QStringLiteral("设置成功"), "设置成功");
}

Json TerminalCommands::setIdentifyCallBack(const Call& call)
{
    const bool base64 = call.values.text(QStringLiteral("base64Enable")) == QLatin1String("2");
    store.with([&](TerminalState& state) { state.callbacks.identifyBase64 = base64; });
    return registerAddress(call, "callbackUrl", &CallbackAddresses::identify);
}

Json TerminalCommands::setDeviceHeartBeat(const Call& call)
{
    return registerAddress(call, "url", &CallbackAddresses::heartbeat);
}

Json TerminalCommands::setImgRegCallBack(const Call& call)
{
    const bool base64 = call.values.text(QStringLiteral("base64Enable")) == QLatin1String("2");
    store.with([&](TerminalState& state) { state.callbacks.imgRegBase64 = base64; });
    return registerAddress(call, "url", &CallbackAddresses::imgReg);
}

Json TerminalCommands::setQrCodeCallback(const Call& call)
{
    return registerAddress(call, "url", &CallbackAddresses::qrCode);
}

Json TerminalCommands::setTaskInterfaceAddress(const Call& call)
{
    return registerAddress(call, "url", &CallbackAddresses::taskInterface);
}

Json TerminalCommands::setTaskProcessingResultsAddress(const Call& call)
{
    return registerAddress(call, "url", &CallbackAddresses::taskResults);
}

Json TerminalCommands::setServerAddress(const Call& call)
{
    if (call.values.has(QStringLiteral("interval"))) {
        bool isNumber = false;
        const int seconds = call.values.text(QStringLiteral("interval")).toInt(&isNumber);
        if (!isNumber || seconds < 1 || seconds > 3600)
            return fail(QStringLiteral("心跳间隔须在1-3600秒之间"));
        store.with([&](TerminalState& state) { state.callbacks.heartbeatSeconds = seconds; });
    }
    const bool base64 = call.values.text(QStringLiteral("base64Enable")) == QLatin1String("2");
    store.with([&](TerminalState& state) { state.callbacks.serverBase64 = base64; });
    return registerAddress(call, "serverurl", &CallbackAddresses::server);
}

Json TerminalCommands::callback(const Call&)
{
    return store.with(
        [](TerminalState& state) { return ok(QStringLiteral("查询成功"), s(state.callbacks.identify)); });
}

Json TerminalCommands::personCreate(const Call& call)
{
    const Json sent = parseSent(call.values.text(QStringLiteral("person")));
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
    const Json sent = parseSent(call.values.text(QStringLiteral("person")));
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
    const Json sent = parseSent(call.values.text(QStringLiteral("passtime")));
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

Json TerminalCommands::newFindRecords(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    const QString startText = call.values.text(QStringLiteral("startTime"));
    const QString endText = call.values.text(QStringLiteral("endTime"));
    const qint64 start = startText == QLatin1String("0") ? 0 : localMs(startText);
    const qint64 end =
        endText == QLatin1String("0") ? std::numeric_limits<qint64>::max() : localMs(endText) + 999;
    bool lengthOk = false;
    bool indexOk = false;
    const int length = call.values.text(QStringLiteral("length")).toInt(&lengthOk);
    const int index = call.values.text(QStringLiteral("index")).toInt(&indexOk);
    if (start < 0 || end < 0)
        return fail(QStringLiteral("时间格式无效"));
    if (!lengthOk || !indexOk || length < 1 || index < 0)
        return fail(QStringLiteral("分页参数无效"));
    const bool all = personId.isEmpty() || personId == QLatin1String("-1");
    const bool newestFirst = call.values.text(QStringLiteral("order")) != QLatin1String("1");
    return store.with([&](TerminalState& state) {
        std::vector<const Record*> matching;
        for (const Record& record : state.records) {
            if ((all || record.personId == personId) && record.timeMs >= start && record.timeMs <= end)
                matching.push_back(&record);
        }
        if (newestFirst)
            std::reverse(matching.begin(), matching.end());
        Json list = Json::array();
        for (qsizetype i = qsizetype(index) * length;
             i < qsizetype(index + 1) * length && i < qsizetype(matching.size()); ++i) {
            const Record& record = *matching[static_cast<std::size_t>(i)];
            list.push_back({{"id", record.id},
                            {"personId", s(record.personId)},
                            {"state", 0},
                            {"type", 0},
                            {"time", std::to_string(record.timeMs)},
                            {"path", s('/' + record.photoPath)}});
        }
        const Json page = {
            {"index", index}, {"length", length}, {"size", list.size()}, {"total", matching.size()}};
        return ok(QStringLiteral("查询成功"), {{"pageInfo", page}, {"records", list}});
    });
}

Json TerminalCommands::deleteRecords(const Call& call, qint64 startMs, qint64 endMs)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    const bool all = personId.isEmpty() || personId == QLatin1String("-1");
    std::vector<QString> photoPaths;
    store.with([&](TerminalState& state) {
        std::erase_if(state.records, [&](const Record& record) {
            const bool gone =
                (all || record.personId == personId) && record.timeMs >= startMs && record.timeMs <= endMs;
            if (gone)
                photoPaths.push_back(record.photoPath);
            return gone;
        });
    });
    for (const QString& path : photoPaths)
        photos.remove(path);
    return ok(QStringLiteral("删除成功"), static_cast<qint64>(photoPaths.size()));
}

Json TerminalCommands::newDeleteRecords(const Call& call)
{
    const qint64 start = localMs(call.values.text(QStringLiteral("startTime")));
    const qint64 end = localMs(call.values.text(QStringLiteral("endTime")));
    if (start < 0 || end < 0)
        return fail(QStringLiteral("时间格式无效"));
    return deleteRecords(call, start, end);
}

Json TerminalCommands::newDeleteRecordsByUnixTime(const Call& call)
{
    bool startOk = false;
    bool endOk = false;
    const qint64 start = call.values.text(QStringLiteral("startTime")).toLongLong(&startOk);
    const qint64 end = call.values.text(QStringLiteral("endTime")).toLongLong(&endOk);
    if (!startOk || !endOk)
        return fail(QStringLiteral("时间格式无效"));
    return deleteRecords(call, start, end);
}

Json TerminalCommands::setTemperatureConfig(const Call& call)
{
    return keepForm(call, "temperature", QStringLiteral("测温参数设置成功"));
}

Json TerminalCommands::setMaskConfig(const Call& call)
{
    return keepForm(call, "mask", QStringLiteral("口罩参数设置成功"));
}

Json TerminalCommands::bootOnline(const Call& call)
{
    const QByteArray firmware = call.values.bytes(QStringLiteral("binData"));
    if (firmware.isEmpty() || !isHexText(firmware))
        return fail(QStringLiteral("固件数据无效"));
    return ok(QStringLiteral("串口屏固件升级成功(%1字节)").arg(firmware.size() / 2));
}
