#include "app/TfrmMain.h"

#include "app/ProgramFolder.h"
#include "app/SettingsFile.h"

#include "ui_ConsumptionParamsPage.h"
#include "ui_ConsumptionReplyPage.h"
#include "ui_ConsumptionTaskPage.h"
#include "ui_DeviceManagementPage.h"
#include "ui_FaceConsumptionPage.h"
#include "ui_OtherPage.h"
#include "ui_PersonPhotoPage.h"
#include "ui_RecognitionRecordPage.h"
#include "ui_TemperatureMaskPage.h"

#include "app/CallbackServerWindow.h"
#include "app/LogPaneQueue.h"
#include "server/HttpServer.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>
#include <iterator>

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

TfrmMain::TfrmMain(QWidget* parent)
    : QWidget(parent), ts1Ui(std::make_unique<Ui::DeviceManagementPage>()),
      ts2Ui(std::make_unique<Ui::PersonPhotoPage>()), ts4Ui(std::make_unique<Ui::RecognitionRecordPage>()),
      ts3Ui(std::make_unique<Ui::OtherPage>()), tabSheet1Ui(std::make_unique<Ui::FaceConsumptionPage>()),
      tabSheet2Ui(std::make_unique<Ui::ConsumptionParamsPage>()),
      tabSheet3Ui(std::make_unique<Ui::ConsumptionTaskPage>()),
      tabSheet4Ui(std::make_unique<Ui::ConsumptionReplyPage>()),
      tabSheet5Ui(std::make_unique<Ui::TemperatureMaskPage>()),
      programFolder_(ChooseProgramFolder(QCoreApplication::applicationDirPath()))
{
    setObjectName("frmMain");
    setWindowTitle(QString::fromUtf8(kCaption));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(pixelFont("MS Sans Serif", 11));
    resize(kClientWidth, kClientHeight);

    buildPages();
    setupConsumptionForms();
    setupConsumptionTaskPage();
    setupShortcuts();
    setupTemperatureMaskPage();
    setupDeviceManagementPage();
    setupOtherPage();
    setupFtpAccountGroup();
    setupOnlineServiceGroup();
    setupFirmwareUpgradeGroup();
    FormCreate();
    setupCallbackServer();
    setupPersonPhotoPage();
    setupRecognitionRecordPage();
}

TfrmMain::~TfrmMain()
{
    stopCallbackServer();
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

    auto addPage = [](QTabWidget* tabs, auto& ui, const char* caption) {
        auto* page = new QWidget(tabs);
        ui->setupUi(page);
        tabs->addTab(page, QString::fromUtf8(caption));
    };
    addPage(pgc1, ts1Ui, "设备管理类");
    addPage(pgc1, ts2Ui, "人员照片类");
    addPage(pgc1, ts4Ui, "识别记录");
    addPage(pgc1, ts3Ui, "其他");
    addPage(pgc1, tabSheet1Ui, "人脸消费");
    addPage(pgc1, tabSheet5Ui, "测温口罩");

    QTabWidget* inner = tabSheet1Ui->PageControl1;
    addPage(inner, tabSheet2Ui, "参数类");
    addPage(inner, tabSheet3Ui, "任务类");
    addPage(inner, tabSheet4Ui, "消费类");
    inner->setCurrentIndex(0);
}

void TfrmMain::setupShortcuts()
{
    PopupMenu1 = new QMenu(pgc1);
    PopupMenu1->setObjectName("PopupMenu1");
    N1 = PopupMenu1->addAction(QString::fromUtf8("显示测温参数"));
    N1->setObjectName("N1");
    N1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    N1->setVisible(false);
    connect(N1, &QAction::triggered, this, [this] { runHandler([this] { N1Click(); }); });

    pgc1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pgc1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(pgc1->mapToGlobal(at)); });

    // A hidden action has no working shortcut in Qt, so the key is bound here.
    n1Shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), pgc1);
    n1Shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(n1Shortcut, &QShortcut::activated, this, [this] { runHandler([this] { N1Click(); }); });
}

void TfrmMain::FormCreate()
{
    pgc1->setCurrentIndex(0);
    ts2Ui->imgEmp->clear();
}

void TfrmMain::FormShow()
{
    for (QPlainTextEdit* pane : {tabSheet1Ui->mmMsg, ts1Ui->mmoLog, tabSheet5Ui->mmLog, ts2Ui->mmoLog1,
                                 ts4Ui->mmoLog2, ts3Ui->mmoLog3})
        LogPaneQueue::clear(pane);
    Button6Click();
    SettingsFile::inFolder(programFolder()).EnsureSettingsFile();
    LoadTemperatureSettings();
}

void TfrmMain::N1Click()
{
    // isHidden, not isVisible: the panel's page may not be the current one.
    QWidget* panel = tabSheet5Ui->Panel1;
    panel->setHidden(!panel->isHidden());
}

// What the consumption forms cannot say themselves: editable combo boxes that
// show a text with no item selected, and the meal-period list's column widths.
void TfrmMain::setupConsumptionForms()
{
    auto showTextWithoutItem = [](QComboBox* combo, const char* text) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString::fromUtf8(text));
    };
    showTextWithoutItem(tabSheet3Ui->cbTask, "服务器地址设置任务");
    showTextWithoutItem(tabSheet4Ui->cbResult2, "1:查询成功");

    const int mealColumnWidths[] = {40, 40, 60, 60, 64, 65, 60, 60};
    for (int column = 0; column < int(std::size(mealColumnWidths)); ++column)
        tabSheet3Ui->lvDinLevTimes->setColumnWidth(column, mealColumnWidths[column]);
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
    runHandler([this] { FormShow(); });
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    stopCallbackServer();
    QWidget::closeEvent(event);
}

void TfrmMain::setErrorPresenter(ErrorPresenter presenter)
{
    errorPresenter = std::move(presenter);
}

void TfrmMain::runHandler(const std::function<void()>& handler)
{
    // The handler's lines go into the panes together once it ends; the error
    // box comes after them.
    try {
        const LogPaneQueue::Batch batch;
        handler();
    } catch (const std::exception& error) {
        showGeneralError(QString::fromUtf8(error.what()));
    }
}

void TfrmMain::showGeneralError(const QString& text)
{
    if (errorPresenter) {
        errorPresenter(text);
        return;
    }
    QMessageBox::critical(this, QString::fromUtf8(kCaption), text);
}

void TfrmMain::appendLine(QPlainTextEdit* pane, const QString& line)
{
    LogPaneQueue::append(pane, line);
}
