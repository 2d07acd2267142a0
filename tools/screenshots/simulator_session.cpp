// Starts the real main window, connects it to a running quillmoor-terminal,
// reads the serial number and saves a picture of the window, for the README.
// Run by tools/simulator-screenshot.sh, which starts the simulator first.
#include "Settle.h"
#include "app/TfrmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool press(TfrmMain& window, const char* name)
{
    auto* button = window.findChild<QPushButton*>(QLatin1String(name));
    if (!button) {
        std::fprintf(stderr, "simulator_session: the window has no button %s\n", name);
        return false;
    }
    button->click();
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: simulator_session OUTPUT_PNG SIMULATOR_ADDRESS\n", stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    // The window creates its settings file at start; keep it out of the build.
    QTemporaryDir programFolder;
    TfrmMain window;
    window.setProgramFolder(programFolder.path());
    window.show();
    settle();

    auto* address = window.findChild<QLineEdit*>(QStringLiteral("edtIP"));
    if (!address) {
        std::fputs("simulator_session: the window has no field edtIP\n", stderr);
        return 1;
    }
    address->setText(QString::fromLocal8Bit(argv[2]));
    if (!press(window, "btnLink") || !press(window, "btngetdevicekey"))
        return 1;
    settle();
    const QString serial = window.findChild<QLineEdit*>(QStringLiteral("edtSerialNo"))->text();
    if (serial.isEmpty()) {
        std::fputs("simulator_session: no serial number came back; is the simulator running there?\n",
                   stderr);
        return 1;
    }
    if (!window.grab().save(output)) {
        std::fprintf(stderr, "simulator_session: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s (serial number %s)\n", qPrintable(output), qPrintable(serial));
    return 0;
}
