#include "app/CommandRunner.h"
#include "app/TfrmMain.h"
#include "device/FirmwareUpgrade.h"

#include "ui_ConsumptionParamsPage.h"
#include "ui_DeviceManagementPage.h"
#include "ui_FaceConsumptionPage.h"

#include <QDir>
#include <QFileDialog>

void TfrmMain::setupFirmwareUpgradeGroup()
{
    // Not the platform's own dialog: the same on every desktop, and drivable in tests.
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    onClick(tabSheet2Ui->btnbootOnline, &TfrmMain::btnbootOnlineClick);
}

void TfrmMain::btnbootOnlineClick()
{
    if (commandRunner->busy())
        return;
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    tabSheet2Ui->edtBinFile->setText(QDir::toNativeSeparators(OpenDialog1->selectedFiles().constFirst()));

    const QString path = tabSheet2Ui->edtBinFile->text();
    const QString password = ts1Ui->edtPasswordNew->text();
    const DeviceConnection connection = deviceConnection;
    CommandLog log;
    if (!runDeviceCommand([&] { log = UploadFirmware(connection, password, path, IdHTTP1); }))
        return;
    writeCommandLog(tabSheet1Ui->mmMsg, log);
}
