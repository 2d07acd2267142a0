#include "app/DeviceSettingsRecorder.h"
#include "app/TfrmMain.h"
#include "device/RecognitionConfig.h"
#include "device/TerminalOptionCommands.h"
#include "ui_DeviceManagementPage.h"
#include "ui_OtherPage.h"

void TfrmMain::setupOtherPage()
{
    onClick(ts3Ui->btnSetTimeZone, &TfrmMain::btnSetTimeZoneClick);
    onClick(ts3Ui->btnLanguage, &TfrmMain::btnLanguageClick);
    onClick(ts3Ui->btnsetscreenort, &TfrmMain::btnsetscreenortClick);
    onClick(ts3Ui->btnWidgetConfig, &TfrmMain::btnWidgetConfigClick);
    onClick(ts3Ui->btnDisable, &TfrmMain::btnDisableClick);
    onClick(ts3Ui->btnScreenSaverTime, &TfrmMain::btnScreenSaverTimeClick);
    onClick(ts3Ui->btnOpenDoorControl, &TfrmMain::btnOpenDoorControlClick);
    onClick(ts3Ui->btn15, &TfrmMain::btn15Click);
}

void TfrmMain::btnSetTimeZoneClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const QString zone = ts3Ui->cbbTimeZone->currentText();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts3Ui->mmoLog3, [=, this] { return SetTimeZone(connection, password, zone, IdHTTP1); });
}

void TfrmMain::btnLanguageClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const QString language = ts3Ui->cbbLanguage->currentText();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts3Ui->mmoLog3,
                     [=, this] { return SetLanguage(connection, password, language, IdHTTP1); });
}

void TfrmMain::btnsetscreenortClick()
{
    QComboBox* combo = ts3Ui->cbborientation;
    // A typed text that is no item counts as no choice.
    const OrientationFields fields{
        ts1Ui->edtPasswordNew->text(),
        combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive),
        combo->currentText()};
    const RecordSettings record = DeviceSettingsRecorder(programFolder());
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts3Ui->mmoLog3,
                     [=, this] { return SetScreenOrientation(connection, fields, record, IdHTTP1); });
}

void TfrmMain::btnWidgetConfigClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const WidgetFlags flags{.showIp = ts3Ui->chkShowIP->isChecked(),
                            .showDeviceKey = ts3Ui->chkShowDeviceKey->isChecked(),
                            .showPeopleNum = ts3Ui->chkShowPeopleNum->isChecked()};
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts3Ui->mmoLog3,
                     [=, this] { return ConfigureWidgets(connection, password, flags, IdHTTP1); });
}

void TfrmMain::btnDisableClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const bool disable = ts3Ui->rgDisableItem0->isChecked();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts1Ui->mmoLog,
                     [=, this] { return SetDisabled(connection, password, disable, IdHTTP1); });
}

void TfrmMain::btnScreenSaverTimeClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const QString delay = ts3Ui->edtScreenSaverTime->text();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts3Ui->mmoLog3,
                     [=, this] { return SetScreenSaverTime(connection, password, delay, IdHTTP1); });
}

void TfrmMain::btnOpenDoorControlClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const int type = ts3Ui->cbbOpenDoorType->currentIndex();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts3Ui->mmoLog3, [=, this] { return OpenDoor(connection, password, type, IdHTTP1); });
}

void TfrmMain::btn15Click()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts1Ui->mmoLog, [=, this] { return SetIdentifyModel(connection, password, IdHTTP1); });
}
