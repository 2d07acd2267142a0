// Starts the real main window and its callback server beside a running
// quillmoor-terminal that plays a site, lists the site with one wrong password
// and one address where nothing answers, registers the heartbeat, checks every
// terminal and saves a picture of the site dialog, for the README. Run by
// tools/dialog-screenshots.sh, which starts the simulator.
#include "Settle.h"
#include "app/TfrmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

namespace {

template <typename T = QWidget> T* named(QObject* parent, const char* name)
{
    return parent->findChild<T*>(QString::fromLatin1(name));
}

void type(QObject* parent, const char* edit, const QString& text)
{
    named<QLineEdit>(parent, edit)->setText(text);
}

// Clicks and lets the window run until the run it started has ended.
void run(QDialog* dialog, const char* button)
{
    named<QPushButton>(dialog, button)->click();
    waitFor([dialog] { return named<QPushButton>(dialog, "btnSiteCheck")->isEnabled(); }, 60000);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: site_dialog OUTPUT_PNG FIRST_TERMINAL_ADDRESS SERVER_ADDRESS\n", stderr);
        return 2;
    }
    const QStringList first = QString::fromLocal8Bit(argv[2]).split('.');
    const QString server = QString::fromLocal8Bit(argv[3]);
    const auto terminal = [&first](int index) {
        QStringList parts = first;
        parts.last() = QString::number(parts.last().toInt() + index);
        return parts.join('.');
    };
    QTemporaryDir programFolder;
    TfrmMain window;
    window.setProgramFolder(programFolder.path());
    window.show();
    type(&window, "edtIP1", server);
    named<QPushButton>(&window, "btn8")->click();
    type(&window, "edtheartbeat", QStringLiteral("http://%1:8090/api/heartBeat").arg(server));
    type(&window, "edtserverurl", QStringLiteral("http://%1:8090/comApi/").arg(server));
    type(&window, "edtinterval", QStringLiteral("1"));
    named<QPushButton>(&window, "btnSite")->click();
    auto* dialog = named<QDialog>(&window, "siteDialog");
    if (!dialog) {
        std::fputs("site_dialog: the dialog did not open\n", stderr);
        return 1;
    }
    const QStringList names = {"东门闸机", "西门闸机", "一号窗口", "二号窗口", "测温通道", "备用"};
    for (int index = 0; index < names.size(); ++index) {
        type(dialog, "edtSiteName", names[index]);
        type(dialog, "edtSiteIP", terminal(index == 5 ? 40 : index));
        type(dialog, "edtSitePassword", index == 3 ? QStringLiteral("88888888") : QStringLiteral("58104726"));
        named<QPushButton>(dialog, "btnSiteAdd")->click();
    }
    run(dialog, "btnSiteCheck");
    auto* table = named<QTableView>(dialog, "tblSite");
    table->selectAll();
    named<QCheckBox>(dialog, "chkSiteCallbacks")->setChecked(true);
    named<QCheckBox>(dialog, "chkSiteService")->setChecked(true);
    named<QCheckBox>(dialog, "chkSiteTime")->setChecked(true);
    run(dialog, "btnSiteApply");
    table->clearSelection();
    settle(3000);
    table->resizeColumnsToContents();
    if (!dialog->grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fputs("site_dialog: the picture cannot be written\n", stderr);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
