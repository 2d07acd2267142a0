// Commands that register the addresses the terminal calls back.
#include "terminal/TerminalCommands.h"

#include "terminal/CommandReplies.h"
#include "terminal/CallbackPolicy.h"

using namespace CommandReplies;

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
