#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Tests never need a real display; pictures and fonts still need Qt's
    // GUI part, never its widgets.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
