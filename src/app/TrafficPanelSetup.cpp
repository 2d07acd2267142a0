#include "app/TfrmMain.h"
#include "app/LogView.h"
#include "app/PaneLogging.h"
#include "app/TrafficPanel.h"
#include "app/TrafficPanelGeometry.h"

#include <QDir>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>

namespace {

constexpr int kTrafficPanelWidth = 620;

} // namespace

void TfrmMain::setupTrafficPanel()
{
    // The pages and the panel side by side; with the panel hidden the splitter
    // shows the pages alone, exactly as before.
    trafficPanel = new TrafficPanel(trafficLog(), this);
    trafficPanel->hide();
    trafficSplitter = new QSplitter(Qt::Horizontal, this);
    trafficSplitter->setObjectName(QStringLiteral("trafficSplitter"));
    trafficSplitter->setChildrenCollapsible(false);
    delete layout()->replaceWidget(pgc1, trafficSplitter);
    trafficSplitter->addWidget(pgc1);
    trafficSplitter->addWidget(trafficPanel);
    trafficSplitter->setStretchFactor(0, 0);
    trafficSplitter->setStretchFactor(1, 1);

    trafficShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), this);
    trafficShortcut->setContext(Qt::WindowShortcut);
    connect(trafficShortcut, &QShortcut::activated, this, &TfrmMain::toggleTrafficPanel);

    for (LogView* pane : logPanes()) {
        pane->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(pane, &QWidget::customContextMenuRequested, this, [this, pane](const QPoint& at) {
            QMenu* menu = pane->createStandardContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->addSeparator();
            menu->addAction(QString::fromUtf8("通信记录"), this, &TfrmMain::toggleTrafficPanel);
            menu->addAction(QString::fromUtf8("打开日志文件夹"), this, [this, pane] {
                const QString folder = PaneLogging::folderIn(programFolder());
                if (!PaneLogging::openFolder(folder))
                    appendLine(pane,
                               QString::fromUtf8("无法打开日志文件夹 ") + QDir::toNativeSeparators(folder));
            });
            menu->popup(pane->mapToGlobal(at));
        });
    }
}

// The window grows by the panel's width, within its screen, and goes back to
// where it was, so that the pages keep their size where the screen allows; a
// maximised window shares its width instead.
void TfrmMain::toggleTrafficPanel()
{
    const bool keepsSize = !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    const int pagesWidth = pgc1->width();
    if (trafficPanel->isHidden()) {
        trafficPanel->show();
        int panelWidth = kTrafficPanelWidth;
        int growth = kTrafficPanelWidth + trafficSplitter->handleWidth();
        if (keepsSize) {
            geometryWithoutPanel = geometry();
            const TrafficPanelGeometry::Placement placed =
                TrafficPanelGeometry::opening(screen()->availableGeometry(), frameGeometry(),
                                              kTrafficPanelWidth, trafficSplitter->handleWidth());
            growth = placed.frame.width() - frameGeometry().width();
            panelWidth = placed.panelWidth;
            move(placed.frame.topLeft());
            resize(width() + growth, height());
        }
        trafficSplitter->setSizes(
            {pagesWidth + growth - trafficSplitter->handleWidth() - panelWidth, panelWidth});
    } else {
        trafficPanel->hide();
        if (keepsSize && geometryWithoutPanel.isValid())
            setGeometry(geometryWithoutPanel);
        geometryWithoutPanel = QRect();
    }
}
