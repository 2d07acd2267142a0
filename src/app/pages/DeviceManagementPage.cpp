#include "app/pages/DeviceManagementPage.h"

#include "app/CallbackServer.h"
#include "app/DeviceSession.h"
#include "app/UserActions.h"
#include "app/dialogs/SiteDialog.h"
#include "common/Failure.h"
#include "device/AddressRegistration.h"
#include "device/AdministrationCommands.h"
#include "device/ConnectionCommands.h"
#include "device/RecognitionConfig.h"
#include "ui_DeviceManagementPage.h"

#include <QDateTime>
#include <QMessageBox>

namespace {

const char* const kStartCaption = "启动识别回调";
const char* const kStopCaption = "停止识别回调";

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

} // namespace

DeviceManagementPage::DeviceManagementPage(DeviceSession& session, UserActions& actions, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::DeviceManagementPage>()), session(session), actions(actions)
{
    ui->setupUi(this);
    using Page = DeviceManagementPage;
    actions.bind<Page>(this, {{ui->btnLink, &Page::connectOrDisconnect},
                              {ui->btngetdevicekey, &Page::readSerialNumber},
                              {ui->btnsetpassword, &Page::changePassword},
                              {ui->btnsetnetinfo, &Page::setNetwork},
                              {ui->btnsettime, &Page::setClock},
                              {ui->btnrestartdevice, &Page::restartDevice},
                              {ui->btnreset, &Page::resetDevice},
                              {ui->btnsetconfig, &Page::setRecognitionConfig},
                              {ui->btn1, &Page::queryRecognitionConfig},
                              {ui->btncallback, &Page::queryCallbackAddress},
                              {ui->btn8, &Page::toggleCallbackServer},
                              {ui->btnSite, &Page::openSite}});
    addressBindings = {
        {ui->btnsetidentifycallback, {&kIdentifyCallbackAddress, ui->edtcallback, true}},
        {ui->btnsetdeviceheartbeat, {&kHeartbeatAddress, ui->edtheartbeat, false}},
        {ui->btnsetimgregcallback, {&kImageRegistrationAddress, ui->edtimgregcallback, true}},
        {ui->btn2, {&kQrCodeCallbackAddress, ui->edtCodecallback, false}},
        {ui->Button1, {&kTaskInterfaceAddress, ui->edtsetTaskInterfaceAddress, false}},
        {ui->Button2, {&kTaskResultsAddress, ui->edtsetTaskProcessingResultsAddress, false}}};
    for (const auto& [button, binding] : addressBindings)
        actions.onClick(button, [this, binding = binding] { registerAddress(binding); });
}

DeviceManagementPage::~DeviceManagementPage() = default;

QString DeviceManagementPage::password() const
{
    return ui->edtPasswordNew->text();
}

QString DeviceManagementPage::deviceAddress() const
{
    return ui->edtIP->text();
}

LogView* DeviceManagementPage::log() const
{
    return ui->mmoLog;
}

void DeviceManagementPage::connectOrDisconnect()
{
    const LinkFields fields{ui->btnLink->text(), ui->edtIP->text(), session.connection()};
    LinkResult result;
    if (!session.runCommand([&] { result = ConnectOrDisconnect(fields, session.client()); }))
        return;
    session.setConnection(result.connection);
    ui->btnLink->setText(result.caption);
    DeviceSession::writeLog(ui->mmoLog, result.log);
}

void DeviceManagementPage::readSerialNumber()
{
    if (session.busy())
        return;
    ui->edtSerialNo->clear();
    const DeviceConnection connection = session.connection();
    SerialNumberResult result;
    session.runCommand([&] { result = ReadSerialNumber(connection, session.client()); });
    DeviceSession::writeLog(ui->mmoLog, result.log);
    if (result.serialNo)
        ui->edtSerialNo->setText(*result.serialNo);
}

void DeviceManagementPage::changePassword()
{
    const QString oldPassword = ui->edtPasswordOld->text();
    const QString newPassword = ui->edtPasswordNew->text();
    session.runLogged(ui->mmoLog, [&](const DeviceConnection& connection, const QString&) {
        return ChangePassword(connection, oldPassword, newPassword, session.client());
    });
}

void DeviceManagementPage::setNetwork()
{
    const NetworkFields fields{.password = ui->edtPasswordNew->text(),
                               .dhcpIndex = ui->cbbDHCPMod->currentIndex(),
                               .dhcpCaption = ui->cbbDHCPMod->currentText(),
                               .ip = ui->edtIP->text(),
                               .gateway = ui->edtgeteway->text(),
                               .subnetMask = ui->edtSubnetMask->text(),
                               .dns = ui->edtDSN->text()};
    const DeviceConnection connection = session.connection();
    const RecordSettings record = session.recordSettings();
    NetworkResult result;
    if (!session.runCommand([&] { result = SetNetworkInfo(connection, fields, record, session.client()); }))
        return;
    session.setConnection(result.connection);
    DeviceSession::writeLog(ui->mmoLog, result.log);
}

void DeviceManagementPage::setClock()
{
    const QDateTime clickedAt = QDateTime::currentDateTime();
    session.runLogged(ui->mmoLog, [&](const DeviceConnection& connection, const QString& password) {
        return SetClock(connection, password, clickedAt, session.client());
    });
}

void DeviceManagementPage::restartDevice()
{
    session.runLogged(ui->mmoLog, [&](const DeviceConnection& connection, const QString& password) {
        return RestartDevice(connection, password, session.client());
    });
}

void DeviceManagementPage::resetDevice()
{
    QMessageBox question(QMessageBox::Warning, QStringLiteral("提示"),
                         QStringLiteral("确定要重置设备吗？将删除设备上所有的识别记录、注册照、现场照，人员、"
                                        "特征等所有的数据，清空所有的数据库."),
                         QMessageBox::Yes | QMessageBox::No, window());
    question.setObjectName("resetQuestion");
    question.setDefaultButton(QMessageBox::No);
    if (question.exec() != QMessageBox::Yes)
        return;
    session.runLogged(ui->mmoLog, [&](const DeviceConnection& connection, const QString& password) {
        return ResetDevice(connection, password, session.client());
    });
}

void DeviceManagementPage::setRecognitionConfig()
{
    const RecognitionFields fields = recognitionFields(*ui);
    session.runLogged(ui->mmoLog, [&](const DeviceConnection& connection, const QString& password) {
        return SetRecognitionConfig(connection, password, fields, session.client());
    });
}

void DeviceManagementPage::queryRecognitionConfig()
{
    session.runLogged(ui->mmoLog, [&](const DeviceConnection& connection, const QString& password) {
        return QueryRecognitionConfig(connection, password, session.client());
    });
}

AddressFields DeviceManagementPage::addressFields(const AddressBinding& binding) const
{
    AddressFields fields{{}, binding.address->text(), {}};
    if (binding.withBase64)
        fields.further = {{"base64Enable", Base64EnableValue(ui->chkBase64Enable->isChecked())}};
    return fields;
}

RecognitionFields DeviceManagementPage::currentRecognitionFields() const
{
    return recognitionFields(*ui);
}

std::vector<SiteAddress> DeviceManagementPage::currentCallbackAddresses() const
{
    std::vector<SiteAddress> addresses;
    for (const auto& [button, binding] : addressBindings)
        addresses.push_back({binding.command, addressFields(binding)});
    return addresses;
}

void DeviceManagementPage::registerAddress(AddressBinding binding)
{
    AddressFields fields = addressFields(binding);
    const RecordSettings record = session.recordSettings();
    session.runLogged(ui->mmoLog, [&](const DeviceConnection& connection, const QString& password) {
        fields.password = password;
        return RegisterAddress(connection, *binding.command, fields, record, session.client(),
                               session.clearingClient());
    });
}

void DeviceManagementPage::queryCallbackAddress()
{
    session.runLogged(ui->mmoLog, [&](const DeviceConnection& connection, const QString& password) {
        return QueryCallbackAddress(connection, password, session.client());
    });
}

void DeviceManagementPage::toggleCallbackServer()
{
    if (ui->btn8->text() != QString::fromUtf8(kStartCaption)) {
        stopCallbackServer();
        return;
    }
    bool isNumber = false;
    const int port = ui->edtPort->text().toInt(&isNumber, 10);
    try {
        if (!isNumber || port < 0 || port > 65535)
            throw Failure(QStringLiteral("not a port: ") + ui->edtPort->text());
        callbackServer->start(ui->edtIP1->text(), static_cast<std::uint16_t>(port));
    } catch (const Failure&) {
        ui->mmoLog->appendLine( QString::fromUtf8("HttpServer启动失败"));
        return;
    }
    ui->btn8->setText(QString::fromUtf8(kStopCaption));
}

// Requests still waiting for the window are abandoned first, so that stopping
// never waits for this thread itself.
void DeviceManagementPage::stopCallbackServer()
{
    callbackServer->stop();
    ui->btn8->setText(QString::fromUtf8(kStartCaption));
}

void DeviceManagementPage::openSite()
{
    if (!siteDialog)
        siteDialog = new SiteDialog(session, actions, siteSources, callbackServer->activity(), window());
    siteDialog->show();
    siteDialog->raise();
    siteDialog->activateWindow();
}

void DeviceManagementPage::stopSite()
{
    delete siteDialog;
}
