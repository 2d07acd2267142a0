#pragma once

#include <QWidget>
#include <memory>

class DeviceSession;
class LogView;
class UserActions;

namespace Ui {
class OtherPage;
}

// Page ts3: time zone, language, screen orientation, widgets, disabling,
// screen saver, remote door and recognition mode. Disabling and the
// recognition mode log into the device log of page ts1, which is handed in.
class OtherPage : public QWidget
{
    Q_OBJECT

public:
    OtherPage(DeviceSession& session, UserActions& actions, LogView* deviceLog, QWidget* parent);
    ~OtherPage() override;

    LogView* log() const;

private:
    void setTimeZone();
    void setLanguage();
    void setScreenOrientation();
    void configureWidgets();
    void setDisabled();
    void setScreenSaverTime();
    void openDoor();
    void setIdentifyModel();

    std::unique_ptr<Ui::OtherPage> ui;
    DeviceSession& session;
    LogView* deviceLog;
};
