#pragma once

#include "common/TrafficLog.h"
#include "device/DeviceConnection.h"
#include "device/FtpFetch.h"
#include "device/HttpClient.h"
#include "device/RecordSettings.h"

#include <QString>
#include <functional>

class CommandRunner;
class LogView;
class QWidget;
class SettingsFile;
struct CommandLog;

// The terminal that device commands go to and what speaks to it, shared by
// every page: the connection and the password the commands send, the two HTTP
// clients, the FTP client, the runner that keeps the window alive while a
// command waits, and every exchange's record. It holds no field of a form;
// the password, the terminal's address and the FTP login are read, when a
// command starts, through the page that shows them.
class DeviceSession
{
public:
    // Where the fields every page's commands read come from.
    struct Sources
    {
        std::function<QString()> password;
        std::function<QString()> deviceAddress;
        std::function<FtpLogin()> ftpLogin;
    };

    explicit DeviceSession(QWidget* window);
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    void setSources(Sources sources) { sources_ = std::move(sources); }
    QString password() const { return sources_.password(); }
    QString deviceAddress() const { return sources_.deviceAddress(); }
    FtpLogin ftpLogin() const { return sources_.ftpLogin(); }

    // The terminal a connect or a network change chose; kept after a disconnect.
    const DeviceConnection& connection() const { return connection_; }
    void setConnection(const DeviceConnection& connection) { connection_ = connection; }

    // The folder of the settings file and of fetched and uploaded photos.
    QString programFolder() const { return programFolder_; }
    void setProgramFolder(const QString& folder) { programFolder_ = folder; }
    SettingsFile settingsFile() const;
    // Records accepted device values in the settings file's device section.
    RecordSettings recordSettings() const;

    HttpClient& client() { return IdHTTP1; }
    HttpClient& clearingClient() { return IdHTTP2; }
    FtpClient& ftp() { return IdFTP1; }
    TrafficLog& trafficLog() { return traffic; }

    // The control whose action runs; its exchanges are recorded under it.
    void setControl(const QString& name) { control_ = name; }
    const QString& control() const { return control_; }

    bool busy() const;
    // Runs a command's network part to its end; false, without running it,
    // while another command is still under way. Closing the window cancels it.
    bool runCommand(const std::function<void()>& work);
    // Likewise, for work that fetches photos over FTP too.
    bool runPhotoCommand(const std::function<void()>& work);

    // A command from the connection and password as they are now to its log,
    // run on the runner; its lines then go into pane.
    using LoggedCommand = std::function<CommandLog(const DeviceConnection&, const QString& password)>;
    void runLogged(LogView* pane, const LoggedCommand& command);

    // Appends the command's lines; an error it carries then ends the action.
    static void writeLog(LogView* pane, const CommandLog& log);

private:
    bool run(const std::function<void()>& work, bool withFtp);

    Sources sources_;
    DeviceConnection connection_;
    QString programFolder_;
    QString control_;
    TrafficLog traffic;
    HttpClient IdHTTP1{"application/x-www-form-urlencoded"};
    HttpClient IdHTTP2{"text/html"};
    FtpClient IdFTP1;
    CommandRunner* runner;
};
