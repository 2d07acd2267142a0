#include "app/DeviceSettingsRecorder.h"
#include "app/TfrmMain.h"
#include "device/AddressRegistration.h"
#include "ui_ConsumptionParamsPage.h"
#include "ui_DeviceManagementPage.h"
#include "ui_FaceConsumptionPage.h"

void TfrmMain::setupOnlineServiceGroup()
{
    onClick(tabSheet2Ui->btnsetServerAddress, &TfrmMain::btnsetServerAddressClick);
}

void TfrmMain::btnsetServerAddressClick()
{
    const AddressFields fields{
        ts1Ui->edtPasswordNew->text(),
        tabSheet2Ui->edtserverurl->text(),
        {{"interval", tabSheet2Ui->edtinterval->text()},
         {"base64Enable", QString::number(tabSheet2Ui->cbBase64Enable->currentIndex() + 1)}}};
    const RecordSettings record = DeviceSettingsRecorder(programFolder());
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(tabSheet1Ui->mmMsg, [=, this] {
        return RegisterAddress(connection, kOnlineServiceAddress, fields, record, IdHTTP1, IdHTTP2);
    });
}
