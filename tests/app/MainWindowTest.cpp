#include "app/TfrmMain.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <gtest/gtest.h>

TEST(MainWindow, CaptionAndPagesInTabOrder)
{
    TfrmMain window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("局域网版人脸机调试工具(Quillmoor)V2.1(220628)"));
    auto* pgc1 = window.findChild<QTabWidget*>("pgc1");
    ASSERT_NE(pgc1, nullptr);
    const QStringList names{"ts1", "ts2", "ts4", "ts3", "TabSheet1", "TabSheet5"};
    ASSERT_EQ(pgc1->count(), names.size());
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(pgc1->widget(i)->findChild<QWidget*>(names[i]) != nullptr || pgc1->widget(i)->objectName() == names[i], true) << i;
    EXPECT_EQ(pgc1->currentIndex(), 0);
}
