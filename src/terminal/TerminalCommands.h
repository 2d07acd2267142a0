#pragma once

#include "server/ServerMessages.h"
#include "terminal/FormValues.h"
#include "terminal/TerminalState.h"

#include <functional>
#include <map>

class PhotoStore;

// What a command may set off beyond the state it changes.
struct TerminalHooks
{
    // Serves the new FTP account; false when the FTP service did not come back.
    std::function<bool(const FtpAccount&)> ftpAccountChanged;
    // The terminal took a face photo itself.
    std::function<void(const Face&)> photoTaken;
    // An address or the heartbeat interval changed.
    std::function<void()> callbacksChanged;
    // Callbacks may go to addresses beyond loopback.
    bool callbacksAnywhere = false;
    // One line for the simulator's console.
    std::function<void(const QString&)> log;
};

// The terminal's HTTP command API: each path the tool sends to, with the reply
// members the tool reads and the state the command changes. Called on the
// server's connection threads.
class TerminalCommands
{
public:
    TerminalCommands(TerminalStore& store, PhotoStore& photos, TerminalHooks hooks);

    ServerReply handle(const ServerRequest& request);

private:
    struct Call
    {
        FormValues values;
        // The body parsed as JSON, for the commands sent as a JSON text.
        Json body;
    };
    enum class Password
    {
        None,
        Form,
        // Checked only when the request carries one.
        FormIfSent,
        JsonBody
    };
    using Command = Json (TerminalCommands::*)(const Call&);
    struct Entry
    {
        Command command;
        Password password;
    };

    Json getDeviceKey(const Call& call);
    Json setPassWord(const Call& call);
    Json setNetInfo(const Call& call);
    Json setTime(const Call& call);
    Json restartDevice(const Call& call);
    Json reset(const Call& call);
    Json keepForm(const Call& call, const char* key, const QString& message);
    Json setTimeZone(const Call& call);
    Json setLanguage(const Call& call);
    Json setScreenOrt(const Call& call);
    Json widgetConfig(const Call& call);
    Json disable(const Call& call);
    Json screenSaverTime(const Call& call);
    Json openDoorControl(const Call& call);
    Json setFtp(const Call& call);
    Json setConfig(const Call& call);
    Json config(const Call& call);
    Json setIdentifyModel(const Call& call);
    Json setIdentifyCallBack(const Call& call);
    Json setDeviceHeartBeat(const Call& call);
    Json setImgRegCallBack(const Call& call);
    Json setQrCodeCallback(const Call& call);
    Json setTaskInterfaceAddress(const Call& call);
    Json setTaskProcessingResultsAddress(const Call& call);
    Json setServerAddress(const Call& call);
    Json callback(const Call& call);
    Json personCreate(const Call& call);
    Json personUpdate(const Call& call);
    Json personDelete(const Call& call);
    Json personFind(const Call& call);
    Json personFindByPage(const Call& call);
    Json permissionsCreate(const Call& call);
    Json permissionsDelete(const Call& call);
    Json createPasstime(const Call& call);
    Json deletePasstime(const Call& call);
    Json faceCreate(const Call& call);
    Json faceUpdate(const Call& call);
    Json faceTakeImg(const Call& call);
    Json faceDelete(const Call& call);
    Json faceFind(const Call& call);
    Json newFindRecords(const Call& call);
    Json newDeleteRecords(const Call& call);
    Json newDeleteRecordsByUnixTime(const Call& call);
    Json setTemperatureConfig(const Call& call);
    Json setMaskConfig(const Call& call);
    Json bootOnline(const Call& call);

    Json registerAddress(const Call& call, const char* name, QString CallbackAddresses::*address);
    Json deleteRecords(const Call& call, qint64 startMs, qint64 endMs);
    void changed();

    TerminalStore& store;
    PhotoStore& photos;
    TerminalHooks hooks;
    std::map<QString, Entry> table;
};
