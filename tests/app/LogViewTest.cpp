#include "app/LogLines.h"
#include "app/LogView.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <deque>
#include <gtest/gtest.h>

namespace {

// Lines of every kind a chunk must hold: empty, wide characters, surrogate
// pairs, and lines longer than a chunk.
QString lineNumber(int i)
{
    switch (i % 7) {
    case 0: return QString();
    case 3: return QString::fromUtf8("中文行 %1 \xF0\x9F\x98\x80").arg(i);
    case 5: return QString(i % 3 == 0 ? 100'000 : 2'000, QChar('a' + i % 26));
    default: return QStringLiteral("line %1").arg(i);
    }
}

class LogViewPane : public WindowTest
{
protected:
    LogViewPane() { show(); }

    // The line a double click at `y` selects, once the pane has caught up.
    QString lineAt(int y)
    {
        QTest::qWait(40);
        QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, QPoint(20, y));
        return pane->selectedText();
    }
    int bottom() const { return pane->viewport()->height() - 8; }

    // On the page shown at start, so laid out at its real size.
    LogView* pane = field<LogView>("mmoLog");
};

} // namespace

// The store against a plain list of the same lines, bounded and not, while its
// chunks fill, empty and are reused.
TEST(LogLines, KeepExactlyTheNewestLinesAsTheyWere)
{
    for (const qsizetype bound : {qsizetype(0), qsizetype(1), qsizetype(50), qsizetype(700)}) {
        LogLines lines;
        lines.setMaxLines(bound);
        std::deque<QString> kept;
        for (int i = 0; i < 3000; ++i) {
            lines.append(lineNumber(i));
            kept.push_back(lineNumber(i));
            if (bound > 0 && qsizetype(kept.size()) > bound)
                kept.pop_front();
            if (i % 997 != 0 && i != 2999)
                continue;
            ASSERT_EQ(lines.size(), qsizetype(kept.size())) << bound;
            EXPECT_EQ(lines.endSerial() - lines.firstSerial(), lines.size());
            QStringList joined;
            for (qsizetype k = 0; k < lines.size(); ++k) {
                ASSERT_EQ(lines.at(k), kept[k]) << bound << " " << k;
                joined << kept[k];
            }
            EXPECT_EQ(lines.joined(), joined.join('\n')) << bound;
        }
    }
    LogLines lines;
    lines.append(u("a"));
    lines.clear();
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(lines.joined(), QString());
    lines.append(QString());
    EXPECT_EQ(lines.size(), 1);
}

TEST_F(LogViewPane, EveryKindOfLineBreakBeginsALine)
{
    pane->appendLine(u("a\r\nb\rc\u2029d\ne\r\n"));
    EXPECT_EQ(pane->toPlainText(), "a\nb\nc\nd\ne\n");
    EXPECT_EQ(pane->lineCount(), 6);
}

// Dragging from the first line's start to past the second's end selects both,
// and copying them puts exactly that text on the clipboard.
TEST_F(LogViewPane, DraggedTextIsSelectedAndCopied)
{
    for (const char* line : {"alpha", "beta gamma", "delta"})
        pane->appendLine(line);
    QTest::qWait(40);
    const int lineHeight = pane->fontMetrics().lineSpacing();
    QTest::mousePress(pane->viewport(), Qt::LeftButton, {}, QPoint(0, 6));
    QTest::mouseMove(pane->viewport(), QPoint(pane->viewport()->width() - 2, 6 + lineHeight));
    QTest::mouseRelease(pane->viewport(), Qt::LeftButton, {}, QPoint(pane->viewport()->width() - 2, 6 + lineHeight));
    EXPECT_EQ(pane->selectedText(), "alpha\nbeta gamma");
    QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "alpha\nbeta gamma");

    QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "alpha\nbeta gamma\ndelta");
}

// At its end the pane follows new lines; scrolled back, it stays on the lines it
// shows while the oldest go, until they are gone too.
TEST_F(LogViewPane, FollowsAtItsEndAndKeepsItsPlaceElsewhere)
{
    pane->setMaxLines(1000);
    for (int i = 1; i <= 1200; ++i)
        pane->appendLine(QStringLiteral("n%1").arg(i));
    EXPECT_EQ(lineAt(bottom()), "n1200");

    pane->verticalScrollBar()->setValue(500);
    EXPECT_EQ(lineAt(8), "n701");
    for (int i = 1201; i <= 1300; ++i)
        pane->appendLine(QStringLiteral("n%1").arg(i));
    EXPECT_EQ(lineAt(8), "n701");
    for (int i = 1301; i <= 2000; ++i)
        pane->appendLine(QStringLiteral("n%1").arg(i));
    EXPECT_EQ(lineAt(8), "n1001");

    QTest::keyClick(pane, Qt::Key_End, Qt::ControlModifier);
    pane->appendLine("last");
    EXPECT_EQ(lineAt(bottom()), "last");
}
