// Starts the real main window against a running quillmoor-terminal, lets both
// roles exchange something (a device command, then the simulator's heartbeats
// to the window's own server) and saves two pictures of the traffic panel: one
// with the device command selected, one with a server request selected.
// Run by tools/traffic-screenshot.sh, which starts the simulator first.
#include "Settle.h"
#include "app/TfrmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

namespace {

template <typename T> T* child(TfrmMain& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "traffic_panel: the window has no %s\n", name);
        std::exit(1);
    }
    return found;
}

// The first row whose role and target column contain these texts.
QTreeWidgetItem* rowOf(QTreeWidget* list, const QString& role, const QString& target)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->text(1) == role && item->text(4).contains(target))
            return item;
    }
    return nullptr;
}

bool save(TfrmMain& window, const QString& file)
{
    settle();
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "traffic_panel: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 4 && argc != 5) {
        std::fputs("usage: traffic_panel OUTPUT_FOLDER SIMULATOR_ADDRESS SERVER_ADDRESS [NAME_SUFFIX]\n",
                   stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    const QString simulator = QString::fromLocal8Bit(argv[2]);
    const QString server = QString::fromLocal8Bit(argv[3]);
    const QString suffix = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    QTemporaryDir programFolder;
    TfrmMain window;
    window.setProgramFolder(programFolder.path());
    window.show();
    settle();

    child<QLineEdit>(window, "edtIP")->setText(simulator);
    child<QPushButton>(window, "btnLink")->click();
    child<QPushButton>(window, "btngetdevicekey")->click();
    child<QLineEdit>(window, "edtIP1")->setText(server);
    child<QLineEdit>(window, "edtPort")->setText(QStringLiteral("8090"));
    child<QPushButton>(window, "btn8")->click();
    child<QLineEdit>(window, "edtheartbeat")->setText(QStringLiteral("http://%1:8090/api/heartBeat").arg(server));
    child<QPushButton>(window, "btnsetdeviceheartbeat")->click();

    const bool heard = waitFor(
        [&] {
            for (const TrafficRecord& record : window.trafficLog().since(0))
                if (record.role == TrafficRecord::Role::ServerRequest)
                    return true;
            return false;
        },
        15000);
    if (!heard) {
        std::fputs("traffic_panel: no heartbeat reached the window's server\n", stderr);
        return 1;
    }

    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        std::fputs("traffic_panel: the window did not become active\n", stderr);
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    settle(500);
    auto* list = child<QTreeWidget>(window, "lvTraffic");
    auto* side = child<QComboBox>(window, "cbTrafficSide");

    QTreeWidgetItem* command = rowOf(list, QString::fromUtf8("设备命令"), QStringLiteral("getDeviceKey"));
    QTreeWidgetItem* heartbeat = rowOf(list, QString::fromUtf8("回调服务"), QStringLiteral("heartBeat"));
    if (!command || !heartbeat) {
        std::fputs("traffic_panel: the panel lacks the expected rows\n", stderr);
        return 1;
    }
    list->setCurrentItem(command);
    side->setCurrentIndex(1);
    if (!save(window, output + QStringLiteral("/traffic-panel-device%1.png").arg(suffix)))
        return 1;
    list->setCurrentItem(heartbeat);
    side->setCurrentIndex(0);
    return save(window, output + QStringLiteral("/traffic-panel-server%1.png").arg(suffix)) ? 0 : 1;
}
