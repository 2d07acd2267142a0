// Starts the real main window and saves a picture of each of its six pages,
// for the README. Run by tools/screenshots.sh, headless.
#include "app/TfrmMain.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: page_screenshots OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    // The window creates its settings file at start; keep it out of the build.
    QTemporaryDir programFolder;
    TfrmMain window;
    window.setProgramFolder(programFolder.path());
    window.show();
    QApplication::processEvents();

    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("pgc1"));
    if (!pages) {
        std::fputs("page_screenshots: the window has no page control pgc1\n", stderr);
        return 1;
    }
    for (int index = 0; index < pages->count(); ++index) {
        pages->setCurrentIndex(index);
        QApplication::processEvents();
        const QString name =
            QStringLiteral("page-%1-%2.png").arg(index + 1).arg(pages->widget(index)->objectName());
        if (!window.grab().save(output.filePath(name))) {
            std::fprintf(stderr, "page_screenshots: cannot write %s\n", qPrintable(output.filePath(name)));
            return 1;
        }
        std::printf("%s\n", qPrintable(output.filePath(name)));
    }
    return 0;
}
