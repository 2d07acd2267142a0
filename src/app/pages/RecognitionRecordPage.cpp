#include "app/pages/RecognitionRecordPage.h"

#include "app/DeviceSession.h"
#include "app/UserActions.h"
#include "device/FtpAccountCommand.h"
#include "device/RecordCommands.h"
#include "ui_RecognitionRecordPage.h"

#include <QDir>

RecognitionRecordPage::RecognitionRecordPage(DeviceSession& session, UserActions& actions, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::RecognitionRecordPage>()), session(session)
{
    ui->setupUi(this);
    using Page = RecognitionRecordPage;
    actions.bind<Page>(this, {{ui->btn12, &Page::queryRecords}, {ui->btnSetFtpPass, &Page::setFtpAccount}});
    actions.bind<Page, RecordRange>(
        this, &Page::deleteRecords,
        {{ui->btnNewDeleteRecords, RecordRange::DateTime}, {ui->btn14, RecordRange::UnixTime}});
}

RecognitionRecordPage::~RecognitionRecordPage() = default;

LogView* RecognitionRecordPage::log() const
{
    return ui->mmoLog2;
}

FtpLogin RecognitionRecordPage::ftpLogin() const
{
    return {ui->chkUseFtpPass->isChecked(), ui->edtftpUser->text(), ui->edtftpPass->text()};
}

void RecognitionRecordPage::queryRecords()
{
    const QString queryText =
        RecordQueryText({session.password(), ui->edtPageRecords->text(), ui->edtPages->text(),
                         ui->dtpBegDateCheck->isChecked(), ui->dtpBegDate->date(), ui->dtpEndDate->date()});
    const DeviceConnection connection = session.connection();
    RecordPage page;
    if (!session.runCommand([&] { page = QueryRecordPage(queryText, connection, session.client()); }))
        return;
    // The reply shows before the photos are fetched, which may take a while.
    DeviceSession::writeLog(ui->mmoLog2, page.log);
    // A window closed while the query ran fetches nothing more.
    if (page.records.empty() || !window()->isVisible())
        return;
    const RecordPhotoSource photos{session.deviceAddress(), ftpLogin(),
                                   QDir(session.programFolder()).filePath("pic")};
    session.runPhotoCommand([&] { FetchRecordPhotos(page.records, photos, session.ftp()); });
}

void RecognitionRecordPage::deleteRecords(RecordRange range)
{
    RecordDeleteFields fields{
        {}, ui->edtFindEmpID->text(), ui->dtpBegDate->dateTime(), ui->dtpEndDate->dateTime()};
    session.runLogged(ui->mmoLog2, [&](const DeviceConnection& connection, const QString& password) {
        fields.password = password;
        return DeleteRecords(range, fields, connection, session.client());
    });
}

void RecognitionRecordPage::setFtpAccount()
{
    FtpAccountFields fields{{}, ui->edtftpUser->text(), ui->edtftpPass->text()};
    session.runLogged(ui->mmoLog2, [&](const DeviceConnection& connection, const QString& password) {
        fields.password = password;
        return SetFtpAccount(connection, fields, session.client());
    });
}
