#include "app/TfrmMain.h"

#include "app/CallbackServer.h"
#include "app/CallbackServerWindow.h"
#include "app/DeviceSession.h"
#include "app/LogView.h"
#include "app/PaneLogging.h"
#include "app/ProgramFolder.h"
#include "common/SettingsFile.h"
#include "app/UserActions.h"
#include "app/pages/ConsumptionParamsPage.h"
#include "app/pages/DeviceManagementPage.h"
#include "app/pages/FaceConsumptionPage.h"
#include "app/pages/OtherPage.h"
#include "app/pages/PersonPhotoPage.h"
#include "app/pages/RecognitionRecordPage.h"
#include "app/pages/TemperatureMaskPage.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char* const kCaption = "局域网版人脸机调试工具(Quillmoor)V2.1(220628)";
// Client area; the frame of an ordinary window makes it 1034 x 686 outside.
constexpr int kClientWidth = 1018;
constexpr int kClientHeight = 648;

QFont pixelFont(const QString& family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/quillmoor-48.png"));
    icon.addFile(QStringLiteral(":/icons/quillmoor-256.png"));
    return icon;
}

} // namespace

struct TfrmMain::Parts
{
    explicit Parts(TfrmMain* window)
        : session(window), actions(session, [window](const QString& text) { window->showGeneralError(text); })
    {
    }

    DeviceSession session;
    UserActions actions;
    PaneLogging logging;
    DeviceManagementPage* ts1 = nullptr;
    PersonPhotoPage* ts2 = nullptr;
    RecognitionRecordPage* ts4 = nullptr;
    OtherPage* ts3 = nullptr;
    FaceConsumptionPage* tabSheet1 = nullptr;
    TemperatureMaskPage* tabSheet5 = nullptr;
    // Gone before the session and the pages it reads.
    std::unique_ptr<CallbackServer> callbackServer;
};

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent), parts(std::make_unique<Parts>(this))
{
    setObjectName("frmMain");
    setWindowTitle(QString::fromUtf8(kCaption));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(pixelFont("MS Sans Serif", 11));
    resize(kClientWidth, kClientHeight);
    parts->session.setProgramFolder(ChooseProgramFolder(QCoreApplication::applicationDirPath()));

    buildPages();
    setupShortcuts();
    pgc1->setCurrentIndex(0);

    parts->callbackServer = std::make_unique<CallbackServer>(
        this,
        std::make_unique<CallbackServerWindow>(
            this, parts->session,
            CallbackServerWindow::Pages{parts->ts1->log(), parts->tabSheet1->log(), parts->tabSheet1->tasks(),
                                        parts->tabSheet1->replies()}),
        parts->session.trafficLog());
    parts->ts1->setCallbackServer(parts->callbackServer.get());
    setupTrafficPanel();
}

TfrmMain::~TfrmMain()
{
    parts->ts1->stopCallbackServer();
    // Their threads record into the session's traffic log, which goes next.
    parts->ts2->stopBulkEnrol();
    parts->ts1->stopSite();
}

void TfrmMain::buildPages()
{
    pgc1 = new QTabWidget(this);
    pgc1->setObjectName("pgc1");
    // The "宋体" family falls back to whatever CJK font fontconfig offers.
    pgc1->setFont(pixelFont(QString::fromUtf8("宋体"), 13));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pgc1);

    auto add = [this](auto* page, const char* caption) {
        pgc1->addTab(page, QString::fromUtf8(caption));
        return page;
    };
    DeviceSession& s = parts->session;
    UserActions& a = parts->actions;
    auto* ts1 = parts->ts1 = add(new DeviceManagementPage(s, a, pgc1), "设备管理类");
    parts->ts2 = add(new PersonPhotoPage(s, a, pgc1), "人员照片类");
    auto* ts4 = parts->ts4 = add(new RecognitionRecordPage(s, a, pgc1), "识别记录");
    parts->ts3 = add(new OtherPage(s, a, ts1->log(), pgc1), "其他");
    parts->tabSheet1 = add(new FaceConsumptionPage(s, a, pgc1), "人脸消费");
    parts->tabSheet5 = add(new TemperatureMaskPage(s, a, pgc1), "测温口罩");

    // The password and address every command sends are page ts1's; the FTP
    // login every photo fetch uses is page ts4's.
    s.setSources({[ts1] { return ts1->password(); }, [ts1] { return ts1->deviceAddress(); },
                  [ts4] { return ts4->ftpLogin(); }});
    // The site dialog repeats the single buttons of three pages.
    const ConsumptionParamsPage& service = parts->tabSheet1->params();
    TemperatureMaskPage* temperature = parts->tabSheet5;
    ts1->setSiteSources({[ts1] { return ts1->currentRecognitionFields(); },
                         [ts1] { return ts1->currentCallbackAddresses(); },
                         [&service] { return service.serviceAddress(); },
                         [temperature] { return temperature->currentTemperatureFields(); },
                         [&service] { return service.heartbeatInterval(); }});
}

void TfrmMain::setupShortcuts()
{
    PopupMenu1 = new QMenu(pgc1);
    PopupMenu1->setObjectName("PopupMenu1");
    N1 = PopupMenu1->addAction(QString::fromUtf8("显示测温参数"));
    N1->setObjectName("N1");
    N1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    N1->setVisible(false);
    const auto togglePanel = [this] { runHandler([this] { parts->tabSheet5->toggleTemperaturePanel(); }); };
    connect(N1, &QAction::triggered, this, togglePanel);

    pgc1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pgc1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(pgc1->mapToGlobal(at)); });

    // A hidden action has no working shortcut in Qt, so the key is bound here.
    n1Shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), pgc1);
    n1Shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(n1Shortcut, &QShortcut::activated, this, togglePanel);
}

QList<LogView*> TfrmMain::logPanes() const
{
    return {parts->tabSheet1->log(), parts->ts1->log(), parts->tabSheet5->log(),
            parts->ts2->log(),       parts->ts4->log(), parts->ts3->log()};
}

void TfrmMain::showPages()
{
    for (LogView* pane : logPanes())
        pane->clear();
    parts->tabSheet5->showMaskDefaults();
    parts->session.settingsFile().EnsureSettingsFile();
    const LogSettings limits =
        parts->logging.start(parts->session.settingsFile(), programFolder(), logPanes(), parts->ts1->log());
    parts->session.trafficLog().setBudget(limits.trafficBytes());
    parts->tabSheet5->loadTemperatureSettings();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce)
        return;
    shownOnce = true;
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    runHandler([this] { showPages(); });
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    parts->ts1->stopCallbackServer();
    QWidget::closeEvent(event);
}

void TfrmMain::setErrorPresenter(ErrorPresenter presenter)
{
    errorPresenter = std::move(presenter);
}

void TfrmMain::runHandler(const std::function<void()>& handler)
{
    parts->actions.run(handler);
}

QString TfrmMain::programFolder() const
{
    return parts->session.programFolder();
}

void TfrmMain::setProgramFolder(const QString& folder)
{
    parts->session.setProgramFolder(folder);
}

TrafficLog& TfrmMain::trafficLog()
{
    return parts->session.trafficLog();
}

void TfrmMain::showGeneralError(const QString& text)
{
    if (errorPresenter) {
        errorPresenter(text);
        return;
    }
    QMessageBox::critical(this, QString::fromUtf8(kCaption), text);
}

void TfrmMain::appendLine(LogView* pane, const QString& line)
{
    pane->appendLine(line);
}
