#pragma once

#include <QString>
#include <nlohmann/json.hpp>

#include <map>
#include <mutex>
#include <vector>

using Json = nlohmann::ordered_json;

struct Person
{
    QString id;
    QString idcardNum;
    QString name;
    QString idNumber;
    QString tag;
    // "yyyy-mm-dd hh:nn:ss", empty when the person has no validity period.
    QString validUntil;
    // Up to three begin/end pairs, comma-joined as the tool sends them.
    QString passtime;
};

struct Face
{
    QString faceId;
    QString personId;
    // Relative to the FTP root.
    QString photoPath;
};

struct Record
{
    qint64 id = 0;
    // "-1" for a stranger.
    QString personId;
    qint64 timeMs = 0;
    QString photoPath;
};

// Where the terminal sends its callbacks; empty means not registered.
struct CallbackAddresses
{
    QString identify;
    bool identifyBase64 = false;
    QString heartbeat;
    QString imgReg;
    bool imgRegBase64 = false;
    QString qrCode;
    QString taskInterface;
    QString taskResults;
    QString server;
    bool serverBase64 = false;
    int heartbeatSeconds = 5;
};

struct FtpAccount
{
    QString user = QStringLiteral("admin");
    QString password = QStringLiteral("58104726");
};

// Everything the commands change. The command API and the callback sender run on
// different threads and share it through TerminalStore.
struct TerminalState
{
    QString address;
    QString serialNumber;
    QString password;
    // Settings the terminal only keeps and reports: network, clock, screen,
    // recognition, temperature, mask and the like, one object per command.
    Json settings = Json::object();
    CallbackAddresses callbacks;
    FtpAccount ftp;
    std::map<QString, Person> persons;
    std::map<QString, Face> faces;
    std::vector<Record> records;
    qint64 nextRecordId = 1;
};

// The address the terminal names in its callbacks: the one a network command set
// last, although it goes on listening where it was started.
inline QString reportedAddress(const TerminalState& state)
{
    const Json network = state.settings.value("network", Json::object());
    return network.contains("ip") ? QString::fromStdString(network["ip"].get<std::string>()) : state.address;
}

class TerminalStore
{
public:
    explicit TerminalStore(TerminalState initial) : state(std::move(initial)) {}

    // Runs work with the state locked; work must not block on the network.
    template <typename Work> auto with(Work&& work)
    {
        std::lock_guard lock(mutex);
        return work(state);
    }

private:
    std::mutex mutex;
    TerminalState state;
};
