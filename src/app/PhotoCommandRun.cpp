#include "app/CommandRunner.h"
#include "app/TfrmMain.h"

#include "ui_RecognitionRecordPage.h"

#include <QCheckBox>
#include <QLineEdit>

bool TfrmMain::runPhotoCommand(const std::function<void()>& work)
{
    if (commandRunner->busy())
        return false;
    IdHTTP1.rearm();
    IdHTTP2.rearm();
    IdFTP1.rearm();
    return commandRunner->run(work, [this] {
        IdHTTP1.cancel();
        IdHTTP2.cancel();
        IdFTP1.cancel();
    });
}

FtpLogin TfrmMain::ftpLogin() const
{
    return {ts4Ui->chkUseFtpPass->isChecked(), ts4Ui->edtftpUser->text(), ts4Ui->edtftpPass->text()};
}
