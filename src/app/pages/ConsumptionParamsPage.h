#pragma once

#include "device/AddressRegistration.h"

#include <QWidget>
#include <memory>

class DeviceSession;
class QFileDialog;
class LogView;
class UserActions;

namespace Ui {
class ConsumptionParamsPage;
}

// Page TabSheet2: the online service address the terminal pays through, and
// the serial-screen firmware upgrade. Both log into the consumption frame's
// pane.
class ConsumptionParamsPage : public QWidget
{
    Q_OBJECT

public:
    ConsumptionParamsPage(DeviceSession& session, UserActions& actions, LogView* log, QWidget* parent);
    ~ConsumptionParamsPage() override;

    // The online service address as btnsetServerAddress sends it, password aside.
    AddressFields serviceAddress() const;
    // The heartbeat interval sent with it, in seconds, as typed.
    QString heartbeatInterval() const;

private:
    void registerServiceAddress();
    void upgradeFirmware();
    QFileDialog* firmwareDialog();

    std::unique_ptr<Ui::ConsumptionParamsPage> ui;
    DeviceSession& session;
    LogView* log;
    QFileDialog* OpenDialog1 = nullptr;
};
