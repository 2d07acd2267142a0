#include "app/CommandRunner.h"
#include "app/TfrmMain.h"
#include "device/ConnectionCommands.h"
#include "ui_DeviceManagementPage.h"

void TfrmMain::setupDeviceManagementPage()
{
    commandRunner = new CommandRunner(this);
    onClick(ts1Ui->btnLink, &TfrmMain::btnLinkClick);
    onClick(ts1Ui->btngetdevicekey, &TfrmMain::btngetdevicekeyClick);
    onClick(ts1Ui->btnsetpassword, &TfrmMain::btnsetpasswordClick);
}

void TfrmMain::btnLinkClick()
{
    const LinkFields fields{ts1Ui->btnLink->text(), ts1Ui->edtIP->text(), deviceConnection};
    LinkResult result;
    if (!runDeviceCommand([&] { result = ConnectOrDisconnect(fields, IdHTTP1); }))
        return;
    deviceConnection = result.connection;
    ts1Ui->btnLink->setText(result.caption);
    writeCommandLog(ts1Ui->mmoLog, result.log);
}

void TfrmMain::btngetdevicekeyClick()
{
    if (commandRunner->busy())
        return;
    ts1Ui->edtSerialNo->clear();
    const DeviceConnection connection = deviceConnection;
    SerialNumberResult result;
    runDeviceCommand([&] { result = ReadSerialNumber(connection, IdHTTP1); });
    writeCommandLog(ts1Ui->mmoLog, result.log);
    if (result.serialNo)
        ts1Ui->edtSerialNo->setText(*result.serialNo);
}

void TfrmMain::btnsetpasswordClick()
{
    const QString oldPassword = ts1Ui->edtPasswordOld->text();
    const QString newPassword = ts1Ui->edtPasswordNew->text();
    const DeviceConnection connection = deviceConnection;
    CommandLog log;
    if (!runDeviceCommand([&] { log = ChangePassword(connection, oldPassword, newPassword, IdHTTP1); }))
        return;
    writeCommandLog(ts1Ui->mmoLog, log);
}
