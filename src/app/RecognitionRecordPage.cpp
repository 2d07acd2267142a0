#include "app/TfrmMain.h"
#include "device/RecordCommands.h"

#include "ui_DeviceManagementPage.h"
#include "ui_RecognitionRecordPage.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>

void TfrmMain::setupRecognitionRecordPage()
{
    onClick(ts4Ui->btn12, &TfrmMain::btn12Click);
    onClick(ts4Ui->btnNewDeleteRecords, &TfrmMain::btnNewDeleteRecordsClick);
    onClick(ts4Ui->btn14, &TfrmMain::btn14Click);
}

void TfrmMain::btn12Click()
{
    const QString queryText = RecordQueryText({ts1Ui->edtPasswordNew->text(), ts4Ui->edtPageRecords->text(),
                                               ts4Ui->edtPages->text(), ts4Ui->dtpBegDateCheck->isChecked(),
                                               ts4Ui->dtpBegDate->date(), ts4Ui->dtpEndDate->date()});
    const DeviceConnection connection = deviceConnection;
    RecordPage page;
    if (!runDeviceCommand([&] { page = QueryRecordPage(queryText, connection, IdHTTP1); }))
        return;
    // The reply shows before the photos are fetched, which may take a while.
    writeCommandLog(ts4Ui->mmoLog2, page.log);
    // A window closed while the query ran fetches nothing more.
    if (page.records.empty() || !isVisible())
        return;
    const RecordPhotoSource photos{ts1Ui->edtIP->text(), ftpLogin(), QDir(programFolder()).filePath("pic")};
    runPhotoCommand([&] { FetchRecordPhotos(page.records, photos, IdFTP1); });
}

void TfrmMain::deleteRecords(RecordRange range)
{
    const RecordDeleteFields fields{ts1Ui->edtPasswordNew->text(), ts4Ui->edtFindEmpID->text(),
                                    ts4Ui->dtpBegDate->dateTime(), ts4Ui->dtpEndDate->dateTime()};
    const DeviceConnection connection = deviceConnection;
    CommandLog log;
    if (!runDeviceCommand([&] { log = DeleteRecords(range, fields, connection, IdHTTP1); }))
        return;
    writeCommandLog(ts4Ui->mmoLog2, log);
}

void TfrmMain::btnNewDeleteRecordsClick()
{
    deleteRecords(RecordRange::DateTime);
}

void TfrmMain::btn14Click()
{
    deleteRecords(RecordRange::UnixTime);
}
