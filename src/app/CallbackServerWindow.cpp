#include "app/CallbackServerWindow.h"

#include "app/LogPaneQueue.h"
#include "app/ComboSelection.h"
#include "app/ServiceClock.h"
#include "app/TfrmMain.h"
#include "common/Failure.h"
#include "ui_ConsumptionReplyPage.h"
#include "ui_ConsumptionTaskPage.h"
#include "ui_DeviceManagementPage.h"
#include "ui_FaceConsumptionPage.h"

#include <QDesktopServices>
#include <QDir>
#include <QSaveFile>
#include <QUrl>

CallbackServerWindow::CallbackServerWindow(TfrmMain& window)
    : window(window), clock(new ServiceClock(&window))
{
}

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

TaskFields CallbackServerWindow::taskFields()
{
    const Ui::ConsumptionTaskPage& ui = *window.tabSheet3Ui;
    TaskFields f;
    f.rbHaveTask2 = ui.rbHaveTask2->isChecked();
    f.rbHaveNoTask2 = ui.rbHaveNoTask2->isChecked();
    f.cbTask = selectedIndex(ui.cbTask);

    f.edtserverurl2 = ui.edtserverurl2->text();
    f.edtinterval2 = ui.edtinterval2->text();
    f.cbBase64Enable2 = selectedIndex(ui.cbBase64Enable2);

    f.cbscreenCtrl = selectedIndex(ui.cbscreenCtrl);
    f.cbrecogDistance = selectedIndex(ui.cbrecogDistance);
    f.cbrecogConsure = selectedIndex(ui.cbrecogConsure);
    f.cbrepeatRegEnable = selectedIndex(ui.cbrepeatRegEnable);
    f.cbautoIsOff = selectedIndex(ui.cbautoIsOff);
    f.cbvolume = selectedIndex(ui.cbvolume);
    f.cbworkModel = selectedIndex(ui.cbworkModel);
    f.edtrecogOvertime = ui.edtrecogOvertime->text();
    f.edtrequestOvertime = ui.edtrequestOvertime->text();
    f.edtfixedMoney = ui.edtfixedMoney->text();
    f.edtrepeatConsumInterval = ui.edtrepeatConsumInterval->text();
    f.edtrecogConsureOvertime = ui.edtrecogConsureOvertime->text();

    for (int row = 0; row < ui.lvDinLevTimes->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = ui.lvDinLevTimes->topLevelItem(row);
        MealPeriodRow period{item->checkState(0) == Qt::Checked, item->text(0), {}};
        for (int column = 1; column < 8; ++column)
            period.subItems += item->text(column);
        f.lvDinLevTimes += period;
    }

    f.edtpersonId6 = ui.edtpersonId6->text();
    f.edtstartTime2 = ui.edtstartTime2->text();
    f.edtendTime2 = ui.edtendTime2->text();
    f.edtlength = ui.edtlength->text();
    f.edtindex = ui.edtindex->text();
    f.cborder = selectedIndex(ui.cborder);

    f.edtpersonId5 = ui.edtpersonId5->text();
    f.edtidcardNum5 = ui.edtidcardNum5->text();
    f.edtpersonName5 = ui.edtpersonName5->text();
    f.edtTag = ui.edtTag->text();
    f.edtphone = ui.edtphone->text();
    f.cbfacePermission = selectedIndex(ui.cbfacePermission);
    f.cbidCardPermission = selectedIndex(ui.cbidCardPermission);
    f.cbfaceAndCardPermission = selectedIndex(ui.cbfaceAndCardPermission);
    f.cbiDPermission = selectedIndex(ui.cbiDPermission);

    f.edtpersonId7 = ui.edtpersonId7->text();
    f.edtpersonId8 = ui.edtpersonId8->text();
    f.edtlength2 = ui.edtlength2->text();
    f.edtindex2 = ui.edtindex2->text();
    f.edtpersonId9 = ui.edtpersonId9->text();
    f.edtstartTime3 = ui.edtstartTime3->text();
    f.edtendTime3 = ui.edtendTime3->text();
    f.edtpersonId10 = ui.edtpersonId10->text();
    f.edtFaceId2 = ui.edtFaceId2->text();
    f.edtimgUrl = ui.edtimgUrl->text();
    f.cbisEasyWay = selectedIndex(ui.cbisEasyWay);
    f.edtFaceId3 = ui.edtFaceId3->text();
    return f;
}

AccountFields CallbackServerWindow::accountFields()
{
    const Ui::ConsumptionReplyPage& ui = *window.tabSheet4Ui;
    return {ui.edtpersonId->text(),       ui.edtidcardNum->text(),       ui.edtroleName->text(),
            ui.edtpersonName->text(),     ui.edtdepartName->text(),      ui.edtaccountState->text(),
            ui.edtaccountBalance->text(), ui.edtpersonalBalance->text(), ui.edtsubsidyBalance->text(),
            ui.edttitle->text(),          selectedIndex(ui.cbResult2),   ui.edtcontentText1->text(),
            ui.edtcontentText2->text(),   ui.edtcontentText3->text()};
}

TradeFields CallbackServerWindow::tradeFields()
{
    const Ui::ConsumptionReplyPage& ui = *window.tabSheet4Ui;
    return {ui.edtpersonId2->text(),
            ui.edtidcardNum2->text(),
            ui.edtorderId->text(),
            ui.edtpersonName2->text(),
            selectedIndex(ui.cbtradeType),
            selectedIndex(ui.cbworkModel2),
            ui.edttradeSeq->text(),
            ui.edttradePrice2->text(),
            ui.edtaccountBalance2->text(),
            ui.edtpersonalBalance2->text(),
            ui.edtsubsidyBalance2->text(),
            ui.edttitle2->text(),
            selectedIndex(ui.cbResult),
            ui.edtcontentText12->text(),
            ui.edtcontentText22->text(),
            ui.edtcontentText32->text(),
            ui.edtMsg->text()};
}

RecordFields CallbackServerWindow::recordFields()
{
    const Ui::ConsumptionReplyPage& ui = *window.tabSheet4Ui;
    return {ui.edtpersonId3->text(),   ui.edtidcardNum3->text(),       ui.edtorderId2->text(),
            ui.edtpersonName3->text(), selectedIndex(ui.cbtradeType2), selectedIndex(ui.cbworkModel3),
            ui.edttradePrice3->text(), ui.edtmenuId->text(),           ui.edtmenuName->text(),
            ui.edttradeSeq->text()};
}

RevocationFields CallbackServerWindow::revocationFields()
{
    const Ui::ConsumptionReplyPage& ui = *window.tabSheet4Ui;
    return {ui.edtpersonId4->text(),       ui.edtidcardNum4->text(),       ui.edtorderId3->text(),
            ui.edtpersonName4->text(),     selectedIndex(ui.cbtradeType3), selectedIndex(ui.cbworkModel4),
            selectedIndex(ui.cbtradeFlow), ui.edttradePrice4->text(),      ui.edttitle3->text(),
            ui.edtcontentText13->text(),   ui.edtcontentText23->text(),    ui.edtcontentText33->text()};
}

QString CallbackServerWindow::memoText(ServiceMemo memo)
{
    const Ui::ConsumptionReplyPage& ui = *window.tabSheet4Ui;
    const QPlainTextEdit* pane = memo == ServiceMemo::mmqueryTerminalSum ? ui.mmqueryTerminalSum
                                 : memo == ServiceMemo::mmqueryOrderMenu ? ui.mmqueryOrderMenu
                                                                         : ui.mmconfirmOrderMenu;
    // A memo's text holds its lines joined by CR LF, as the routes expect.
    return pane->toPlainText().replace(QChar('\n'), QLatin1String("\r\n"));
}

QLineEdit* CallbackServerWindow::edit(ServiceText field) const
{
    const Ui::ConsumptionReplyPage& ui = *window.tabSheet4Ui;
    switch (field) {
    case ServiceText::edtpersonId:
        return ui.edtpersonId;
    case ServiceText::edtidcardNum:
        return ui.edtidcardNum;
    case ServiceText::edtpersonId2:
        return ui.edtpersonId2;
    case ServiceText::edtidcardNum2:
        return ui.edtidcardNum2;
    case ServiceText::edtorderId:
        return ui.edtorderId;
    case ServiceText::edttradeTime:
        return ui.edttradeTime;
    case ServiceText::edtpersonId3:
        return ui.edtpersonId3;
    case ServiceText::edttradeTime2:
        return ui.edttradeTime2;
    case ServiceText::edtorderId3:
        return ui.edtorderId3;
    case ServiceText::edttradeTime4:
        return ui.edttradeTime4;
    }
    return nullptr;
}

void CallbackServerWindow::setText(ServiceText field, const QString& text)
{
    edit(field)->setText(text);
}

void CallbackServerWindow::select(ServiceChoice field, int index)
{
    QComboBox* combo = field == ServiceChoice::cbtradeType ? window.tabSheet4Ui->cbtradeType
                                                           : window.tabSheet4Ui->cbworkModel2;
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

ServiceTime CallbackServerWindow::serviceTime()
{
    return clock->now();
}

QString CallbackServerWindow::newOrderNumber(const QDateTime& now)
{
    return orders.next(now);
}
