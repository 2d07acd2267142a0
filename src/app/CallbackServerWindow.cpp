#include "app/CallbackServerWindow.h"

#include "app/LogPaneQueue.h"
#include "app/TfrmMain.h"
#include "common/Failure.h"
#include "ui_ConsumptionTaskPage.h"
#include "ui_DeviceManagementPage.h"
#include "ui_FaceConsumptionPage.h"

#include <QDesktopServices>
#include <QDir>
#include <QSaveFile>
#include <QUrl>

void CallbackServerWindow::appendLine(LogPane pane, const QString& line)
{
    // The bridge writes a batch's lines before any of its replies leave.
    LogPaneQueue::appendLater(pane == LogPane::mmoLog ? window.ts1Ui->mmoLog : window.tabSheet1Ui->mmMsg,
                              line);
}

HeartbeatFields CallbackServerWindow::heartbeatFields()
{
    return {window.tabSheet3Ui->rbHaveTask->isChecked(), window.tabSheet3Ui->rbHaveNoTask->isChecked()};
}

void CallbackServerWindow::showUploadedPhoto(const QByteArray& content)
{
    // Written beside the old file and renamed over it, so a viewer never sees a
    // half-written photo.
    const QString path = QDir(window.programFolder()).filePath(QStringLiteral("recv.jpg"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw Failure(QString::fromUtf8("无法写入") + QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                      file.errorString());
    // Without a viewer nothing opens; the photo is still saved.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
