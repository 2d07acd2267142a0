#pragma once

#include "app/dialogs/SiteSources.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class CallbackServer;
class DeviceSession;
class LogView;
class SiteDialog;
class UserActions;
struct AddressCommand;
class QAbstractButton;
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
    LogView* log() const;

    // The server btn8 starts and stops; its caption is the one record of
    // whether the server runs.
    void setCallbackServer(CallbackServer* server) { callbackServer = server; }
    void stopCallbackServer();

    // The recognition parameters as btnsetconfig sends them.
    RecognitionFields currentRecognitionFields() const;
    // The six callback addresses as their set buttons send them, in order.
    std::vector<SiteAddress> currentCallbackAddresses() const;

    // What the site dialog reads from the other pages.
    void setSiteSources(SiteSources sources) { siteSources = std::move(sources); }
    // Ends the site dialog and any run of it, before the session goes.
    void stopSite();

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
    void openSite();
    AddressFields addressFields(const AddressBinding& binding) const;

    std::unique_ptr<Ui::DeviceManagementPage> ui;
    DeviceSession& session;
    CallbackServer* callbackServer = nullptr;
    UserActions& actions;
    std::vector<std::pair<QAbstractButton*, AddressBinding>> addressBindings;
    SiteSources siteSources;
    QPointer<SiteDialog> siteDialog;
};
