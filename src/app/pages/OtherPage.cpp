#include "app/pages/OtherPage.h"

#include "app/DeviceSession.h"
#include "app/UserActions.h"
#include "device/RecognitionConfig.h"
#include "device/TerminalOptionCommands.h"
#include "ui_OtherPage.h"

OtherPage::OtherPage(DeviceSession& session, UserActions& actions, LogView* deviceLog, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::OtherPage>()), session(session), deviceLog(deviceLog)
{
    ui->setupUi(this);
    using Page = OtherPage;
    actions.bind<Page>(this, {{ui->btnSetTimeZone, &Page::setTimeZone},
                              {ui->btnLanguage, &Page::setLanguage},
                              {ui->btnsetscreenort, &Page::setScreenOrientation},
                              {ui->btnWidgetConfig, &Page::configureWidgets},
                              {ui->btnDisable, &Page::setDisabled},
                              {ui->btnScreenSaverTime, &Page::setScreenSaverTime},
                              {ui->btnOpenDoorControl, &Page::openDoor},
                              {ui->btn15, &Page::setIdentifyModel}});
}

OtherPage::~OtherPage() = default;

LogView* OtherPage::log() const
{
    return ui->mmoLog3;
}

void OtherPage::setTimeZone()
{
    const QString zone = ui->cbbTimeZone->currentText();
    session.runLogged(ui->mmoLog3, [&](const DeviceConnection& connection, const QString& password) {
        return SetTimeZone(connection, password, zone, session.client());
    });
}

void OtherPage::setLanguage()
{
    const QString language = ui->cbbLanguage->currentText();
    session.runLogged(ui->mmoLog3, [&](const DeviceConnection& connection, const QString& password) {
        return SetLanguage(connection, password, language, session.client());
    });
}

void OtherPage::setScreenOrientation()
{
    QComboBox* combo = ui->cbborientation;
    // A typed text that is no item counts as no choice.
    OrientationFields fields{{},
                             combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive),
                             combo->currentText()};
    const RecordSettings record = session.recordSettings();
    session.runLogged(ui->mmoLog3, [&](const DeviceConnection& connection, const QString& password) {
        fields.password = password;
        return SetScreenOrientation(connection, fields, record, session.client());
    });
}

void OtherPage::configureWidgets()
{
    const WidgetFlags flags{.showIp = ui->chkShowIP->isChecked(),
                            .showDeviceKey = ui->chkShowDeviceKey->isChecked(),
                            .showPeopleNum = ui->chkShowPeopleNum->isChecked()};
    session.runLogged(ui->mmoLog3, [&](const DeviceConnection& connection, const QString& password) {
        return ConfigureWidgets(connection, password, flags, session.client());
    });
}

void OtherPage::setDisabled()
{
    const bool disable = ui->rgDisableItem0->isChecked();
    session.runLogged(deviceLog, [&](const DeviceConnection& connection, const QString& password) {
        return SetDisabled(connection, password, disable, session.client());
    });
}

void OtherPage::setScreenSaverTime()
{
    const QString delay = ui->edtScreenSaverTime->text();
    session.runLogged(ui->mmoLog3, [&](const DeviceConnection& connection, const QString& password) {
        return SetScreenSaverTime(connection, password, delay, session.client());
    });
}

void OtherPage::openDoor()
{
    const int type = ui->cbbOpenDoorType->currentIndex();
    session.runLogged(ui->mmoLog3, [&](const DeviceConnection& connection, const QString& password) {
        return OpenDoor(connection, password, type, session.client());
    });
}

void OtherPage::setIdentifyModel()
{
    session.runLogged(deviceLog, [&](const DeviceConnection& connection, const QString& password) {
        return SetIdentifyModel(connection, password, session.client());
    });
}
