#include "app/CallbackServerWindow.h"

#include "app/DeviceSession.h"
#include "app/LogView.h"
#include "app/ServiceClock.h"
#include "app/pages/ConsumptionReplyPage.h"
#include "app/pages/ConsumptionTaskPage.h"
#include "common/Failure.h"

#include <QDesktopServices>
#include <QDir>
#include <QSaveFile>
#include <QUrl>

CallbackServerWindow::CallbackServerWindow(QObject* window, const DeviceSession& session, Pages pages)
    : session(session), pages(pages), clock(new ServiceClock(window))
{
}

void CallbackServerWindow::appendLine(LogPane pane, const QString& line)
{
    (pane == LogPane::mmoLog ? pages.deviceLog : pages.serviceLog)->appendLine(line);
}

HeartbeatFields CallbackServerWindow::heartbeatFields()
{
    return pages.tasks.heartbeatFields();
}

void CallbackServerWindow::showUploadedPhoto(const QByteArray& content)
{
    // Written beside the old file and renamed over it, so a viewer never sees a
    // half-written photo.
    const QString path = QDir(session.programFolder()).filePath(QStringLiteral("recv.jpg"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw Failure(QString::fromUtf8("无法写入") + QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                      file.errorString());
    // Without a viewer nothing opens; the photo is still saved.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

TaskFields CallbackServerWindow::taskFields()
{
    return pages.tasks.taskFields();
}

AccountFields CallbackServerWindow::accountFields()
{
    return pages.replies.accountFields();
}

TradeFields CallbackServerWindow::tradeFields()
{
    return pages.replies.tradeFields();
}

RecordFields CallbackServerWindow::recordFields()
{
    return pages.replies.recordFields();
}

RevocationFields CallbackServerWindow::revocationFields()
{
    return pages.replies.revocationFields();
}

QString CallbackServerWindow::memoText(ServiceMemo memo)
{
    return pages.replies.memoText(memo);
}

void CallbackServerWindow::setText(ServiceText field, const QString& text)
{
    pages.replies.setText(field, text);
}

void CallbackServerWindow::select(ServiceChoice field, int index)
{
    pages.replies.select(field, index);
}

ServiceTime CallbackServerWindow::serviceTime()
{
    return clock->now();
}

QString CallbackServerWindow::newOrderNumber(const QDateTime& now)
{
    return orders.next(now);
}
