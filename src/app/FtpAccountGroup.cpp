#include "app/TfrmMain.h"
#include "device/FtpAccountCommand.h"
#include "ui_DeviceManagementPage.h"
#include "ui_RecognitionRecordPage.h"

void TfrmMain::setupFtpAccountGroup()
{
    onClick(ts4Ui->btnSetFtpPass, &TfrmMain::btnSetFtpPassClick);
}

void TfrmMain::btnSetFtpPassClick()
{
    const FtpAccountFields fields{ts1Ui->edtPasswordNew->text(), ts4Ui->edtftpUser->text(),
                                  ts4Ui->edtftpPass->text()};
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts4Ui->mmoLog2, [=, this] { return SetFtpAccount(connection, fields, IdHTTP1); });
}
