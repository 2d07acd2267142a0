#include "app/CallbackServerWindow.h"
#include "app/LogPaneQueue.h"
#include "app/TfrmMain.h"
#include "common/Failure.h"
#include "server/HttpServer.h"
#include "server/WindowBridge.h"
#include "server/WindowStepHandler.h"
#include "ui_DeviceManagementPage.h"

namespace {

const char* const kStartCaption = "启动识别回调";
const char* const kStopCaption = "停止识别回调";

} // namespace

void TfrmMain::setupCallbackServer()
{
    callbackBridge = new WindowBridge(this);
    callbackBridge->setObjectName(QStringLiteral("callbackBridge"));
    callbackBridge->setAfterSteps([] { LogPaneQueue::flushAll(); });
    callbackWindow = std::make_unique<CallbackServerWindow>(*this);
    HTTPServer = std::make_unique<HttpServer>(windowStepHandler(*callbackBridge, *callbackWindow));
    HTTPServer->setClosureNotice(windowClosureNotice(*callbackBridge, *callbackWindow));
    onClick(ts1Ui->btn8, &TfrmMain::btn8Click);
}

// The caption is the one record of whether the server runs.
void TfrmMain::btn8Click()
{
    if (ts1Ui->btn8->text() != QString::fromUtf8(kStartCaption)) {
        stopCallbackServer();
        return;
    }
    bool isNumber = false;
    const int port = ts1Ui->edtPort->text().toInt(&isNumber, 10);
    try {
        if (!isNumber || port < 0 || port > 65535)
            throw Failure(QStringLiteral("not a port: ") + ts1Ui->edtPort->text());
        callbackBridge->open();
        HTTPServer->start(ts1Ui->edtIP1->text(), static_cast<std::uint16_t>(port));
    } catch (const Failure&) {
        callbackBridge->close();
        appendLine(ts1Ui->mmoLog, QString::fromUtf8("HttpServer启动失败"));
        return;
    }
    ts1Ui->btn8->setText(QString::fromUtf8(kStopCaption));
}

// Requests still waiting for the window are abandoned first, so that stopping
// never waits for this thread itself.
void TfrmMain::stopCallbackServer()
{
    callbackBridge->close();
    HTTPServer->stop();
    ts1Ui->btn8->setText(QString::fromUtf8(kStartCaption));
}
