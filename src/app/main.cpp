#include "app/TfrmMain.h"

#include <QApplication>
#include <cstdio>

namespace {

// Without this check Qt aborts with a long platform-plugin message.
bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fputs("quillmoor: no display to open the window on (start it under a virtual one: xvfb-run -a "
                   "tools/setup.sh run)\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // Names the per-user data folder that an installed copy keeps its files in.
    QApplication::setApplicationName(QStringLiteral("quillmoor"));
    TfrmMain frmMain;
    frmMain.show();
    return app.exec();
}
