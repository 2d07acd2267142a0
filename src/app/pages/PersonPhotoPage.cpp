#include "app/pages/PersonPhotoPage.h"

#include "app/DeviceSession.h"
#include "app/OpenFileDialog.h"
#include "app/UserActions.h"
#include "app/dialogs/BulkEnrolDialog.h"
#include "device/FaceCommands.h"
#include "device/PersonCommands.h"
#include "ui_PersonPhotoPage.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPixmap>

namespace {

// The picture formats the photo box reads, all together and each by itself.
const QStringList kPictureFilters = {
    QStringLiteral("所有图片 (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"),
    QStringLiteral("JPEG 图片 (*.jpg)"),
    QStringLiteral("JPEG 图片 (*.jpeg)"),
    QStringLiteral("位图 (*.bmp)"),
    QStringLiteral("图标 (*.ico)"),
    QStringLiteral("增强型图元文件 (*.emf)"),
    QStringLiteral("图元文件 (*.wmf)"),
};

void showPicture(QLabel* box, const Picture& picture)
{
    box->setPixmap(QPixmap::fromImage(picture.image()));
}

} // namespace

PersonPhotoPage::PersonPhotoPage(DeviceSession& session, UserActions& actions, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PersonPhotoPage>()), session(session), actions(actions)
{
    ui->setupUi(this);
    ui->imgEmp->clear();
    using Page = PersonPhotoPage;
    actions.bind<Page, PersonCommand>(this, &Page::runPersonCommand,
                                      {{ui->btn3, PersonCommand::Create},
                                       {ui->btn4, PersonCommand::Update},
                                       {ui->btn5, PersonCommand::Delete},
                                       {ui->btn6, PersonCommand::Find},
                                       {ui->btn9, PersonCommand::FindByPage},
                                       {ui->btn21, PersonCommand::PermissionsCreate},
                                       {ui->btn24, PersonCommand::PermissionsDelete},
                                       {ui->btn22, PersonCommand::CreatePasstime},
                                       {ui->btn23, PersonCommand::DeletePasstime}});
    actions.bind<Page, FaceCommand>(this, &Page::runFaceCommand,
                                    {{ui->btn13, FaceCommand::Register},
                                     {ui->btn7, FaceCommand::Update},
                                     {ui->btn11, FaceCommand::TakePhoto},
                                     {ui->btn17, FaceCommand::Delete}});
    actions.bind<Page>(this, {{ui->btn10, &Page::choosePhoto},
                              {ui->btnfacefind, &Page::queryFacePhoto},
                              {ui->btnBulkEnrol, &Page::openBulkEnrol}});
}

PersonPhotoPage::~PersonPhotoPage() = default;

LogView* PersonPhotoPage::log() const
{
    return ui->mmoLog1;
}

void PersonPhotoPage::runPersonCommand(PersonCommand command)
{
    PersonFields fields{{},
                        ui->edtEmpID->text(),
                        ui->edtEmpName->text(),
                        ui->edtCardID->text(),
                        ui->dtpValidDate->dateTime(),
                        {ui->edtBTime1->text(), ui->edtETime1->text(), ui->edtBTime2->text(),
                         ui->edtETime2->text(), ui->edtBTime3->text(), ui->edtETime3->text()}};
    session.runLogged(ui->mmoLog1, [&](const DeviceConnection& connection, const QString& password) {
        fields.password = password;
        return RunPersonCommand(command, fields, connection, session.client());
    });
}

QFileDialog* PersonPhotoPage::pictureDialog()
{
    if (!OpenPictureDialog) {
        OpenPictureDialog = newOpenFileDialog(window(), QStringLiteral("OpenPictureDialog"));
        OpenPictureDialog->setNameFilters(kPictureFilters);
    }
    return OpenPictureDialog;
}

void PersonPhotoPage::stopBulkEnrol()
{
    delete bulkEnrolDialog;
    bulkEnrolDialog = nullptr;
}

void PersonPhotoPage::openBulkEnrol()
{
    if (!bulkEnrolDialog)
        bulkEnrolDialog = new BulkEnrolDialog(session, actions, ui->mmoLog1, window());
    bulkEnrolDialog->show();
    bulkEnrolDialog->raise();
    bulkEnrolDialog->activateWindow();
}

void PersonPhotoPage::choosePhoto()
{
    // A cancelled dialog loads the last confirmed file again.
    QFileDialog* dialog = pictureDialog();
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        openPictureFile = dialog->selectedFiles().constFirst();
    if (openPictureFile.isEmpty())
        return;
    empPicture = Picture::load(openPictureFile);
    showPicture(ui->imgEmp, empPicture);
}

void PersonPhotoPage::runFaceCommand(FaceCommand command)
{
    if (const std::optional<QString> message = MissingPhotoMessage(command, empPicture)) {
        QMessageBox box(QMessageBox::NoIcon, window()->windowTitle(), *message, QMessageBox::Ok, window());
        box.exec();
        return;
    }
    FaceFields fields{{},
                      ui->edtEmpID->text(),
                      ui->edtFaceID->text(),
                      ui->edtfaceUrl->text(),
                      ui->chkEasyWay->isChecked(),
                      empPicture};
    session.runLogged(ui->mmoLog1, [&](const DeviceConnection& connection, const QString& password) {
        fields.password = password;
        return RunFaceCommand(command, fields, connection, session.client());
    });
}

void PersonPhotoPage::queryFacePhoto()
{
    const PhotoQueryFields fields{session.password(), ui->edtEmpID->text(), ui->edtFaceID->text(),
                                  session.ftpLogin(), session.programFolder()};
    const DeviceConnection connection = session.connection();
    PhotoQueryResult result;
    if (!session.runPhotoCommand(
            [&] { result = QueryFacePhoto(fields, connection, session.client(), session.ftp()); }))
        return;
    DeviceSession::writeLog(ui->mmoLog1, result.log);
    if (!result.photoFile)
        return;
    try {
        showPicture(ui->imgPic, Picture::load(*result.photoFile));
    } catch (const std::exception&) {
        // A fetched file that is no picture is ignored like a failed fetch.
    }
}
