#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Tests never need a real display. Offscreen, a wide screen where windows open and a small one.
    QTemporaryDir folder;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        QFile screens(folder.filePath("screens.json"));
        screens.open(QIODevice::WriteOnly);
        screens.write(R"({"screens":[{"name":"wide","x":0,"y":0,"width":1920,"height":1080},)"
                      R"({"name":"small","x":1920,"y":0,"width":1280,"height":800}]})");
        screens.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
