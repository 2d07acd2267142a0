#include "app/TfrmMain.h"
#include "device/FaceCommands.h"
#include "device/PersonCommands.h"

#include "ui_DeviceManagementPage.h"
#include "ui_PersonPhotoPage.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
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

void TfrmMain::setupPersonPhotoPage()
{
    // Qt's own dialog rather than the platform's, so that it looks and behaves
    // the same everywhere.
    OpenPictureDialog = new QFileDialog(this);
    OpenPictureDialog->setObjectName("OpenPictureDialog");
    OpenPictureDialog->setOption(QFileDialog::DontUseNativeDialog);
    OpenPictureDialog->setAcceptMode(QFileDialog::AcceptOpen);
    OpenPictureDialog->setFileMode(QFileDialog::ExistingFile);
    OpenPictureDialog->setNameFilters(kPictureFilters);

    onClick(ts2Ui->btn3, &TfrmMain::btn3Click);
    onClick(ts2Ui->btn4, &TfrmMain::btn4Click);
    onClick(ts2Ui->btn5, &TfrmMain::btn5Click);
    onClick(ts2Ui->btn6, &TfrmMain::btn6Click);
    onClick(ts2Ui->btn9, &TfrmMain::btn9Click);
    onClick(ts2Ui->btn21, &TfrmMain::btn21Click);
    onClick(ts2Ui->btn24, &TfrmMain::btn24Click);
    onClick(ts2Ui->btn22, &TfrmMain::btn22Click);
    onClick(ts2Ui->btn23, &TfrmMain::btn23Click);
    onClick(ts2Ui->btn10, &TfrmMain::btn10Click);
    onClick(ts2Ui->btn13, &TfrmMain::btn13Click);
    onClick(ts2Ui->btn7, &TfrmMain::btn7Click);
    onClick(ts2Ui->btn11, &TfrmMain::btn11Click);
    onClick(ts2Ui->btn17, &TfrmMain::btn17Click);
    onClick(ts2Ui->btnfacefind, &TfrmMain::btnfacefindClick);
}

void TfrmMain::sendPersonCommand(PersonCommand command)
{
    const PersonFields fields{ts1Ui->edtPasswordNew->text(),
                              ts2Ui->edtEmpID->text(),
                              ts2Ui->edtEmpName->text(),
                              ts2Ui->edtCardID->text(),
                              ts2Ui->dtpValidDate->dateTime(),
                              {ts2Ui->edtBTime1->text(), ts2Ui->edtETime1->text(), ts2Ui->edtBTime2->text(),
                               ts2Ui->edtETime2->text(), ts2Ui->edtBTime3->text(), ts2Ui->edtETime3->text()}};
    const DeviceConnection connection = deviceConnection;
    CommandLog log;
    if (!runDeviceCommand([&] { log = RunPersonCommand(command, fields, connection, IdHTTP1); }))
        return;
    writeCommandLog(ts2Ui->mmoLog1, log);
}

void TfrmMain::btn3Click()
{
    sendPersonCommand(PersonCommand::Create);
}

void TfrmMain::btn4Click()
{
    sendPersonCommand(PersonCommand::Update);
}

void TfrmMain::btn5Click()
{
    sendPersonCommand(PersonCommand::Delete);
}

void TfrmMain::btn6Click()
{
    sendPersonCommand(PersonCommand::Find);
}

void TfrmMain::btn9Click()
{
    sendPersonCommand(PersonCommand::FindByPage);
}

void TfrmMain::btn21Click()
{
    sendPersonCommand(PersonCommand::PermissionsCreate);
}

void TfrmMain::btn24Click()
{
    sendPersonCommand(PersonCommand::PermissionsDelete);
}

void TfrmMain::btn22Click()
{
    sendPersonCommand(PersonCommand::CreatePasstime);
}

void TfrmMain::btn23Click()
{
    sendPersonCommand(PersonCommand::DeletePasstime);
}

void TfrmMain::btn10Click()
{
    // A cancelled dialog loads the last confirmed file again.
    if (OpenPictureDialog->exec() == QDialog::Accepted && !OpenPictureDialog->selectedFiles().isEmpty())
        openPictureFile = OpenPictureDialog->selectedFiles().constFirst();
    if (openPictureFile.isEmpty())
        return;
    empPicture = Picture::load(openPictureFile);
    showPicture(ts2Ui->imgEmp, empPicture);
}

void TfrmMain::sendFaceCommand(FaceCommand command)
{
    if (const std::optional<QString> message = MissingPhotoMessage(command, empPicture)) {
        QMessageBox box(QMessageBox::NoIcon, windowTitle(), *message, QMessageBox::Ok, this);
        box.exec();
        return;
    }
    const FaceFields fields{ts1Ui->edtPasswordNew->text(),  ts2Ui->edtEmpID->text(),
                            ts2Ui->edtFaceID->text(),       ts2Ui->edtfaceUrl->text(),
                            ts2Ui->chkEasyWay->isChecked(), empPicture};
    const DeviceConnection connection = deviceConnection;
    CommandLog log;
    if (!runDeviceCommand([&] { log = RunFaceCommand(command, fields, connection, IdHTTP1); }))
        return;
    writeCommandLog(ts2Ui->mmoLog1, log);
}

void TfrmMain::btn13Click()
{
    sendFaceCommand(FaceCommand::Register);
}

void TfrmMain::btn7Click()
{
    sendFaceCommand(FaceCommand::Update);
}

void TfrmMain::btn11Click()
{
    sendFaceCommand(FaceCommand::TakePhoto);
}

void TfrmMain::btn17Click()
{
    sendFaceCommand(FaceCommand::Delete);
}

void TfrmMain::btnfacefindClick()
{
    const PhotoQueryFields fields{ts1Ui->edtPasswordNew->text(), ts2Ui->edtEmpID->text(),
                                  ts2Ui->edtFaceID->text(), ftpLogin(), programFolder()};
    const DeviceConnection connection = deviceConnection;
    PhotoQueryResult result;
    if (!runPhotoCommand([&] { result = QueryFacePhoto(fields, connection, IdHTTP1, IdFTP1); }))
        return;
    writeCommandLog(ts2Ui->mmoLog1, result.log);
    if (!result.photoFile)
        return;
    try {
        showPicture(ts2Ui->imgPic, Picture::load(*result.photoFile));
    } catch (const std::exception&) {
        // A fetched file that is no picture is ignored like a failed fetch.
    }
}
