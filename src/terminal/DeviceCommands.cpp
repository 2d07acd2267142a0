// Commands for the terminal as a whole: password, network, clock, screen, door,
// FTP account, recognition, temperature, mask and firmware.
#include "terminal/TerminalCommands.h"

#include "terminal/CommandReplies.h"
#include "terminal/SentJson.h"
#include "terminal/PhotoStore.h"

#include <QDateTime>
#include <algorithm>
#include <map>

using namespace CommandReplies;

namespace {

bool isHexText(const QByteArray& text)
{
    return text.size() % 2 == 0 && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c));
           });
}

} // namespace

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
    if (type == "4" && !parseSent(readSentJson(call.values.bytes(QStringLiteral("content")))).is_object())
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
    const Json config = parseSent(readSentJson(call.values.bytes(QStringLiteral("config"))));
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
    const Json config = parseSent(readSentJson(call.values.bytes(QStringLiteral("config"))));
    if (!config.is_object())
        return fail(QStringLiteral("config不是有效的JSON"));
    store.with([&](TerminalState& state) { state.settings["identifyModel"] = config; });
    return ok(QStringLiteral("设置成功"), "识别模式设置成功");
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
