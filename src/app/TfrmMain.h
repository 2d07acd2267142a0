#pragma once

#include "common/TrafficLog.h"
#include "common/Picture.h"
#include "device/DeviceConnection.h"
#include "device/FtpFetch.h"
#include "device/HttpClient.h"

#include <QWidget>
#include <functional>
#include <memory>

class CommandRunner;
struct CommandLog;
class QAction;
class QFileDialog;
class QMenu;
class QPlainTextEdit;
class QShortcut;
class QSplitter;
class QTabWidget;
class TrafficPanel;
class QTreeWidgetItem;

class CallbackServerWindow;
class HttpServer;
class WindowBridge;

enum class PersonCommand;
enum class FaceCommand;
enum class RecordRange;

namespace Ui {
class DeviceManagementPage;
class PersonPhotoPage;
class RecognitionRecordPage;
class OtherPage;
class FaceConsumptionPage;
class ConsumptionParamsPage;
class ConsumptionTaskPage;
class ConsumptionReplyPage;
class TemperatureMaskPage;
} // namespace Ui

// The one main window. It owns every field and component; each page's handlers
// live in that page's own source file.
class TfrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Where the general error box sends its text. Tests replace it so that no
    // modal box blocks them; by default it is a modal message box.
    using ErrorPresenter = std::function<void(const QString&)>;
    void setErrorPresenter(ErrorPresenter presenter);

    // Runs one user action; an error it does not catch ends it and is shown in
    // the general error box, while whatever it did before stays done.
    void runHandler(const std::function<void()>& handler);

    // The folder of the program file: settings file, fetched and uploaded photos.
    // Tests point it at a folder of their own before the window is shown.
    QString programFolder() const { return programFolder_; }
    void setProgramFolder(const QString& folder) { programFolder_ = folder; }

    // Adds one whole line at the end of a log pane, nothing added to it, except
    // that a line too long to lay out is shown cut (LongLineCut). Inside a
    // handler or a server step the line goes in when that ends (LogPaneQueue).
    static void appendLine(QPlainTextEdit* pane, const QString& line);

    // Every exchange of both roles, for the traffic panel.
    TrafficLog& trafficLog() { return traffic; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void N1Click();

    // Temperature and mask page (TemperatureMaskPage.cpp).
    void setupTemperatureMaskPage();
    void Button6Click();
    void LoadTemperatureSettings();

    void buildPages();
    void setupConsumptionForms();
    void setupShortcuts();
    void showGeneralError(const QString& text);

    // Connects a button's click to a handler run through runHandler.
    template <typename Button> void onClick(Button* button, void (TfrmMain::*handler)());

    QTabWidget* pgc1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QShortcut* n1Shortcut = nullptr;

    std::unique_ptr<Ui::DeviceManagementPage> ts1Ui;
    std::unique_ptr<Ui::PersonPhotoPage> ts2Ui;
    std::unique_ptr<Ui::RecognitionRecordPage> ts4Ui;
    std::unique_ptr<Ui::OtherPage> ts3Ui;
    std::unique_ptr<Ui::FaceConsumptionPage> tabSheet1Ui;
    std::unique_ptr<Ui::ConsumptionParamsPage> tabSheet2Ui;
    std::unique_ptr<Ui::ConsumptionTaskPage> tabSheet3Ui;
    std::unique_ptr<Ui::ConsumptionReplyPage> tabSheet4Ui;
    std::unique_ptr<Ui::TemperatureMaskPage> tabSheet5Ui;

    DeviceConnection deviceConnection;

    // Device commands: the two HTTP clients, and the runner that keeps the
    // window alive while a command waits for the terminal.
    void setupDeviceManagementPage();
    void btnLinkClick();
    void btngetdevicekeyClick();
    void btnsetpasswordClick();
    // Runs a command's network part; false, without running it, while another
    // command is still under way.
    bool runDeviceCommand(const std::function<void()>& work);
    // Appends the command's lines; an error it carries then ends the handler.
    static void writeCommandLog(QPlainTextEdit* pane, const CommandLog& log);
    HttpClient IdHTTP1{"application/x-www-form-urlencoded"};
    HttpClient IdHTTP2{"text/html"};
    CommandRunner* commandRunner = nullptr;

    // Traffic panel (TrafficPanelSetup.cpp): the log every exchange is
    // recorded in, and its panel beside the pages, toggled by Ctrl+Shift+T and
    // from the log panes' context menu.
    void setupTrafficPanel();
    void toggleTrafficPanel();
    TrafficLog traffic;
    TrafficPanel* trafficPanel = nullptr;
    QSplitter* trafficSplitter = nullptr;
    QShortcut* trafficShortcut = nullptr;
    // The window's geometry before the panel opened, given back when it closes.
    QRect geometryWithoutPanel;
    // The button whose handler runs; device exchanges are recorded under it.
    QString clickedControl;
    // Administration, recognition parameters and address registration: page ts1
    // (DeviceManagementPage.cpp), page ts3 (OtherPage.cpp), the FTP account group
    // (FtpAccountGroup.cpp) and the online service group (OnlineServiceGroup.cpp).
    void setupOtherPage();
    void setupFtpAccountGroup();
    void setupOnlineServiceGroup();
    // Runs a command that returns its log lines, then writes them into the pane.
    void runLoggedCommand(QPlainTextEdit* pane, const std::function<CommandLog()>& command);
    void btnsetnetinfoClick();
    void btnsettimeClick();
    void btnrestartdeviceClick();
    void btnresetClick();
    void btnsetconfigClick();
    void btn1Click();
    void btnsetidentifycallbackClick();
    void btnsetdeviceheartbeatClick();
    void btnsetimgregcallbackClick();
    void btn2Click();
    void Button1Click();
    void Button2Click();
    void btncallbackClick();
    void btnSetTimeZoneClick();
    void btnLanguageClick();
    void btnsetscreenortClick();
    void btnWidgetConfigClick();
    void btnDisableClick();
    void btnScreenSaverTimeClick();
    void btnOpenDoorControlClick();
    void btn15Click();
    void btnSetFtpPassClick();
    void btnsetServerAddressClick();
    // Temperature and mask set buttons (TemperatureMaskPage.cpp) and the
    // serial-screen firmware upgrade (FirmwareUpgradeGroup.cpp).
    void Button5Click();
    void Button4Click();
    void bsSkinButton1Click();
    void setupFirmwareUpgradeGroup();
    void btnbootOnlineClick();
    QFileDialog* OpenDialog1 = nullptr;
    // Persons and photos page (PersonPhotoPage.cpp), records page
    // (RecognitionRecordPage.cpp), and the FTP client both fetch photos with
    // (PhotoCommandRun.cpp).
    void setupPersonPhotoPage();
    void btn3Click();
    void btn4Click();
    void btn5Click();
    void btn6Click();
    void btn9Click();
    void btn21Click();
    void btn24Click();
    void btn22Click();
    void btn23Click();
    void btn10Click();
    void btn13Click();
    void btn7Click();
    void btn11Click();
    void btn17Click();
    void btnfacefindClick();
    void sendPersonCommand(PersonCommand command);
    void sendFaceCommand(FaceCommand command);
    void setupRecognitionRecordPage();
    void btn12Click();
    void btnNewDeleteRecordsClick();
    void btn14Click();
    void deleteRecords(RecordRange range);
    FtpLogin ftpLogin() const;
    // Like runDeviceCommand; closing the window ends a photo fetch as well.
    bool runPhotoCommand(const std::function<void()>& work);
    FtpClient IdFTP1;
    QFileDialog* OpenPictureDialog = nullptr;
    // The last file confirmed in OpenPictureDialog, and the photo imgEmp shows.
    QString openPictureFile;
    Picture empPicture;
    // Consumption task page: task groups and the meal-period editor (ConsumptionTaskPage.cpp).
    void setupConsumptionTaskPage();
    void cbTaskChange();
    void lvDinLevTimesSelectItem(QTreeWidgetItem* item);
    void Button3Click();

    QString programFolder_;
    ErrorPresenter errorPresenter;
    bool shownOnce = false;

    // The embedded callback server and its start/stop button (CallbackServerControl.cpp).
    friend class CallbackServerWindow;
    void setupCallbackServer();
    void btn8Click();
    void stopCallbackServer();
    WindowBridge* callbackBridge = nullptr;
    std::unique_ptr<CallbackServerWindow> callbackWindow;
    std::unique_ptr<HttpServer> HTTPServer;
};

template <typename Button> void TfrmMain::onClick(Button* button, void (TfrmMain::*handler)())
{
    connect(button, &Button::clicked, this, [this, handler, button] {
        clickedControl = button->objectName();
        runHandler([this, handler] { (this->*handler)(); });
    });
}
