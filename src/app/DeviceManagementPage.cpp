#include "app/CommandRunner.h"
#include "app/DeviceSettingsRecorder.h"
#include "app/TfrmMain.h"
#include "device/AddressRegistration.h"
#include "device/AdministrationCommands.h"
#include "device/ConnectionCommands.h"
#include "device/RecognitionConfig.h"
#include "ui_DeviceManagementPage.h"

#include <QDateTime>
#include <QMessageBox>

namespace {

RecognitionFields recognitionFields(const Ui::DeviceManagementPage& ui)
{
    return {.companyName = ui.edtcompanyName->text(),
            .identifyDistanceIndex = ui.cbbidentifyDistance->currentIndex(),
            .identifyScores = ui.edtidentifyScores->text(),
            .saveIdentifyTime = ui.edtsaveIdentifyTime->text(),
            .ttsModTypeItem = ui.cbbttsModType->currentText(),
            .ttsModContent = ui.edtttsModContent->text(),
            .comModTypeItem = ui.cbbcomModType->currentText(),
            .comModContent = ui.edtcomModContent->text(),
            .displayModTypeItem = ui.cbbdisplayModType->currentText(),
            .displayModContent = ui.edtdisplayModContent->text(),
            .slogan = ui.edtslogan->text(),
            .intro = ui.edtintro->text(),
            .recStrangerTimesThresholdIndex = ui.cbbrecStrangerTimesThreshold->currentIndex(),
            .recStrangerTypeIndex = ui.cbbrecStrangerType->currentIndex(),
            .ttsModStrangerTypeItem = ui.cbbttsModStrangerType->currentText(),
            .ttsModStrangerContent = ui.edtttsModStrangerContent->text(),
            .multiplayerDetectionIndex = ui.cbbmultiplayerDetection->currentIndex(),
            .wgIndex = ui.cbbWG->currentIndex(),
            .recRankIndex = ui.cbbrecRank->currentIndex(),
            .delayTimeForCloseDoor = ui.edtdelayTimeForCloseDoor->text(),
            .whiteListIndex = ui.cbbWhiteList->currentIndex()};
}

// The device management page's address commands differ only in these.
std::function<CommandLog()> registration(const DeviceConnection& connection, const AddressCommand& command,
                                         const AddressFields& fields, const RecordSettings& record,
                                         HttpClient& client, HttpClient& clearingClient)
{
    return [=, &command, &client, &clearingClient] {
        return RegisterAddress(connection, command, fields, record, client, clearingClient);
    };
}

} // namespace

void TfrmMain::setupDeviceManagementPage()
{
    commandRunner = new CommandRunner(this);
    onClick(ts1Ui->btnLink, &TfrmMain::btnLinkClick);
    onClick(ts1Ui->btngetdevicekey, &TfrmMain::btngetdevicekeyClick);
    onClick(ts1Ui->btnsetpassword, &TfrmMain::btnsetpasswordClick);
    onClick(ts1Ui->btnsetnetinfo, &TfrmMain::btnsetnetinfoClick);
    onClick(ts1Ui->btnsettime, &TfrmMain::btnsettimeClick);
    onClick(ts1Ui->btnrestartdevice, &TfrmMain::btnrestartdeviceClick);
    onClick(ts1Ui->btnreset, &TfrmMain::btnresetClick);
    onClick(ts1Ui->btnsetconfig, &TfrmMain::btnsetconfigClick);
    onClick(ts1Ui->btn1, &TfrmMain::btn1Click);
    onClick(ts1Ui->btnsetidentifycallback, &TfrmMain::btnsetidentifycallbackClick);
    onClick(ts1Ui->btnsetdeviceheartbeat, &TfrmMain::btnsetdeviceheartbeatClick);
    onClick(ts1Ui->btnsetimgregcallback, &TfrmMain::btnsetimgregcallbackClick);
    onClick(ts1Ui->btn2, &TfrmMain::btn2Click);
    onClick(ts1Ui->Button1, &TfrmMain::Button1Click);
    onClick(ts1Ui->Button2, &TfrmMain::Button2Click);
    onClick(ts1Ui->btncallback, &TfrmMain::btncallbackClick);
}

void TfrmMain::btnLinkClick()
{
    const LinkFields fields{ts1Ui->btnLink->text(), ts1Ui->edtIP->text(), deviceConnection};
    LinkResult result;
    if (!runDeviceCommand([&] { result = ConnectOrDisconnect(fields, IdHTTP1); }))
        return;
    deviceConnection = result.connection;
    ts1Ui->btnLink->setText(result.caption);
    writeCommandLog(ts1Ui->mmoLog, result.log);
}

void TfrmMain::btngetdevicekeyClick()
{
    if (commandRunner->busy())
        return;
    ts1Ui->edtSerialNo->clear();
    const DeviceConnection connection = deviceConnection;
    SerialNumberResult result;
    runDeviceCommand([&] { result = ReadSerialNumber(connection, IdHTTP1); });
    writeCommandLog(ts1Ui->mmoLog, result.log);
    if (result.serialNo)
        ts1Ui->edtSerialNo->setText(*result.serialNo);
}

void TfrmMain::btnsetpasswordClick()
{
    const QString oldPassword = ts1Ui->edtPasswordOld->text();
    const QString newPassword = ts1Ui->edtPasswordNew->text();
    const DeviceConnection connection = deviceConnection;
    CommandLog log;
    if (!runDeviceCommand([&] { log = ChangePassword(connection, oldPassword, newPassword, IdHTTP1); }))
        return;
    writeCommandLog(ts1Ui->mmoLog, log);
}

void TfrmMain::btnsetnetinfoClick()
{
    const NetworkFields fields{.password = ts1Ui->edtPasswordNew->text(),
                               .dhcpIndex = ts1Ui->cbbDHCPMod->currentIndex(),
                               .dhcpCaption = ts1Ui->cbbDHCPMod->currentText(),
                               .ip = ts1Ui->edtIP->text(),
                               .gateway = ts1Ui->edtgeteway->text(),
                               .subnetMask = ts1Ui->edtSubnetMask->text(),
                               .dns = ts1Ui->edtDSN->text()};
    const DeviceConnection connection = deviceConnection;
    const RecordSettings record = DeviceSettingsRecorder(programFolder());
    NetworkResult result;
    if (!runDeviceCommand([&] { result = SetNetworkInfo(connection, fields, record, IdHTTP1); }))
        return;
    deviceConnection = result.connection;
    writeCommandLog(ts1Ui->mmoLog, result.log);
}

void TfrmMain::btnsettimeClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const QDateTime clickedAt = QDateTime::currentDateTime();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts1Ui->mmoLog, [=, this] { return SetClock(connection, password, clickedAt, IdHTTP1); });
}

void TfrmMain::btnrestartdeviceClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts1Ui->mmoLog, [=, this] { return RestartDevice(connection, password, IdHTTP1); });
}

void TfrmMain::btnresetClick()
{
    QMessageBox question(QMessageBox::Warning, QStringLiteral("提示"),
                         QStringLiteral("确定要重置设备吗？将删除设备上所有的识别记录、注册照、现场照，人员、"
                                        "特征等所有的数据，清空所有的数据库."),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName("resetQuestion");
    question.setDefaultButton(QMessageBox::No);
    if (question.exec() != QMessageBox::Yes)
        return;
    const QString password = ts1Ui->edtPasswordNew->text();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts1Ui->mmoLog, [=, this] { return ResetDevice(connection, password, IdHTTP1); });
}

void TfrmMain::btnsetconfigClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const RecognitionFields fields = recognitionFields(*ts1Ui);
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts1Ui->mmoLog,
                     [=, this] { return SetRecognitionConfig(connection, password, fields, IdHTTP1); });
}

void TfrmMain::btn1Click()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts1Ui->mmoLog,
                     [=, this] { return QueryRecognitionConfig(connection, password, IdHTTP1); });
}

void TfrmMain::btnsetidentifycallbackClick()
{
    const AddressFields fields{ts1Ui->edtPasswordNew->text(),
                               ts1Ui->edtcallback->text(),
                               {{"base64Enable", Base64EnableValue(ts1Ui->chkBase64Enable->isChecked())}}};
    runLoggedCommand(ts1Ui->mmoLog, registration(deviceConnection, kIdentifyCallbackAddress, fields,
                                                 DeviceSettingsRecorder(programFolder()), IdHTTP1, IdHTTP2));
}

void TfrmMain::btnsetdeviceheartbeatClick()
{
    const AddressFields fields{ts1Ui->edtPasswordNew->text(), ts1Ui->edtheartbeat->text(), {}};
    runLoggedCommand(ts1Ui->mmoLog, registration(deviceConnection, kHeartbeatAddress, fields,
                                                 DeviceSettingsRecorder(programFolder()), IdHTTP1, IdHTTP2));
}

void TfrmMain::btnsetimgregcallbackClick()
{
    const AddressFields fields{ts1Ui->edtPasswordNew->text(),
                               ts1Ui->edtimgregcallback->text(),
                               {{"base64Enable", Base64EnableValue(ts1Ui->chkBase64Enable->isChecked())}}};
    runLoggedCommand(ts1Ui->mmoLog, registration(deviceConnection, kImageRegistrationAddress, fields,
                                                 DeviceSettingsRecorder(programFolder()), IdHTTP1, IdHTTP2));
}

void TfrmMain::btn2Click()
{
    const AddressFields fields{ts1Ui->edtPasswordNew->text(), ts1Ui->edtCodecallback->text(), {}};
    runLoggedCommand(ts1Ui->mmoLog, registration(deviceConnection, kQrCodeCallbackAddress, fields,
                                                 DeviceSettingsRecorder(programFolder()), IdHTTP1, IdHTTP2));
}

void TfrmMain::Button1Click()
{
    const AddressFields fields{ts1Ui->edtPasswordNew->text(), ts1Ui->edtsetTaskInterfaceAddress->text(), {}};
    runLoggedCommand(ts1Ui->mmoLog, registration(deviceConnection, kTaskInterfaceAddress, fields,
                                                 DeviceSettingsRecorder(programFolder()), IdHTTP1, IdHTTP2));
}

void TfrmMain::Button2Click()
{
    const AddressFields fields{
        ts1Ui->edtPasswordNew->text(), ts1Ui->edtsetTaskProcessingResultsAddress->text(), {}};
    runLoggedCommand(ts1Ui->mmoLog, registration(deviceConnection, kTaskResultsAddress, fields,
                                                 DeviceSettingsRecorder(programFolder()), IdHTTP1, IdHTTP2));
}

void TfrmMain::btncallbackClick()
{
    const QString password = ts1Ui->edtPasswordNew->text();
    const DeviceConnection connection = deviceConnection;
    runLoggedCommand(ts1Ui->mmoLog,
                     [=, this] { return QueryCallbackAddress(connection, password, IdHTTP1); });
}
