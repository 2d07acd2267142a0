#pragma once

#include <QWidget>
#include <memory>

class CallbackServer;
class DeviceSession;
class QPlainTextEdit;
class UserActions;
struct AddressCommand;
class QCheckBox;
class QLineEdit;

namespace Ui {
class DeviceManagementPage;
}

// Page ts1: the connection, serial number and password; network, clock,
// restart and reset; recognition parameters; callback addresses; and the
// start and stop of the embedded callback server. Its password and device IP
// fields are the ones every page's commands send.
class DeviceManagementPage : public QWidget
{
    Q_OBJECT

public:
    DeviceManagementPage(DeviceSession& session, UserActions& actions, QWidget* parent);
    ~DeviceManagementPage() override;

    QString password() const;
    QString deviceAddress() const;
    QPlainTextEdit* log() const;

    // The server btn8 starts and stops; its caption is the one record of
    // whether the server runs.
    void setCallbackServer(CallbackServer* server) { callbackServer = server; }
    void stopCallbackServer();

private:
    // One of the address registrations: the command, its field and whether
    // it sends the live photo's "base64Enable".
    struct AddressBinding
    {
        const AddressCommand* command;
        QLineEdit* address;
        bool withBase64;
    };

    void connectOrDisconnect();
    void readSerialNumber();
    void changePassword();
    void setNetwork();
    void setClock();
    void restartDevice();
    void resetDevice();
    void setRecognitionConfig();
    void queryRecognitionConfig();
    void registerAddress(AddressBinding binding);
    void queryCallbackAddress();
    void toggleCallbackServer();

    std::unique_ptr<Ui::DeviceManagementPage> ui;
    DeviceSession& session;
    CallbackServer* callbackServer = nullptr;
};
