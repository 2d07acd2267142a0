#pragma once

#include "device/TemperatureCommands.h"

#include <QWidget>
#include <memory>

class DeviceSession;
class LogView;
class UserActions;

namespace Ui {
class TemperatureMaskPage;
}

// Page TabSheet5: temperature measurement and mask detection settings. The
// temperature values are kept in the settings file and loaded at start.
class TemperatureMaskPage : public QWidget
{
    Q_OBJECT

public:
    TemperatureMaskPage(DeviceSession& session, UserActions& actions, QWidget* parent);
    ~TemperatureMaskPage() override;

    LogView* log() const;
    // The temperature group as Button4 sends it.
    TemperatureFields currentTemperatureFields() const;
    void showMaskDefaults();
    // Throws Failure, after showing what it could read, when a value is damaged.
    void loadTemperatureSettings();
    // The hidden panel of temperature parameters, shown and hidden by a shortcut.
    void toggleTemperaturePanel();

private:
    void setMaskConfig();
    void showTemperatureDefaults();
    void setTemperatureConfig();

    std::unique_ptr<Ui::TemperatureMaskPage> ui;
    DeviceSession& session;
};
