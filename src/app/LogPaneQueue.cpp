#include "app/LogPaneQueue.h"

#include "app/LongLineCut.h"
#include "common/LogFileWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <vector>

namespace {

// Bounds one edit, so that a handler writing very many lines neither holds
// them all twice nor stalls the window on one huge insertion.
constexpr qsizetype kMaxWaitingLines = 4096;
constexpr qsizetype kMaxWaitingChars = 1 << 20;
// A full pane's lines wait in pieces of about this many characters, so that
// the oldest go a piece at a time; and never more characters than the second
// figure, however long its lines.
constexpr qsizetype kPieceChars = 1 << 18;
constexpr qsizetype kMaxWaitingCharsWhenFull = 1 << 24;
// How long lines may wait while the event loop runs inside a batch, and how
// often a pane that takes lines is laid out and painted anew.
constexpr int kShowWithinMs = 16;

// Dropping a pane's oldest blocks costs about as much as an edit, whatever
// their number, so a bounded pane may exceed its bound by this part of it (an
// eighth) until its next frame, and drops them all at once.
constexpr int kExcessPart = 8;

int openBatches = 0;
// Every pane's queue, few enough for a linear search.
std::vector<LogPaneQueue*> queues;

} // namespace

LogPaneQueue::Batch::Batch()
{
    ++openBatches;
}

LogPaneQueue::Batch::~Batch()
{
    if (--openBatches == 0)
        flushBatch();
}

LogPaneQueue::LogPaneQueue(QPlainTextEdit* pane) : QObject(pane), pane(pane)
{
    soon.setSingleShot(true);
    soon.setInterval(kShowWithinMs);
    connect(&soon, &QTimer::timeout, this, &LogPaneQueue::write);
    refreshSoon.setSingleShot(true);
    refreshSoon.setInterval(kShowWithinMs);
    connect(&refreshSoon, &QTimer::timeout, this, &LogPaneQueue::refresh);
    // Undo in a log pane would take back logged lines, and its record of every
    // insertion costs memory for as long as the pane lives.
    pane->document()->setUndoRedoEnabled(false);
    queues.push_back(this);
}

// Runs while the pane itself is being destroyed: it must not be touched.
LogPaneQueue::~LogPaneQueue()
{
    queues.erase(std::find(queues.begin(), queues.end(), this));
}

LogPaneQueue& LogPaneQueue::of(QPlainTextEdit* pane)
{
    for (LogPaneQueue* queue : queues)
        if (queue->pane == pane)
            return *queue;
    return *new LogPaneQueue(pane);
}

void LogPaneQueue::append(QPlainTextEdit* pane, const QString& line)
{
    of(pane).add(line, openBatches > 0);
}

void LogPaneQueue::appendLater(QPlainTextEdit* pane, const QString& line)
{
    of(pane).add(line, true);
}

void LogPaneQueue::flushAll()
{
    for (LogPaneQueue* queue : queues)
        queue->write();
}

void LogPaneQueue::flushBatch()
{
    for (LogPaneQueue* queue : queues)
        if (!queue->full())
            queue->write();
}

void LogPaneQueue::clear(QPlainTextEdit* pane)
{
    LogPaneQueue& queue = of(pane);
    queue.waiting.clear();
    queue.waitingLines = queue.waitingBlocks = queue.waitingChars = 0;
    queue.soon.stop();
    queue.hasLines = false;
    pane->clear();
}

void LogPaneQueue::bound(QPlainTextEdit* pane, int maxLines)
{
    LogPaneQueue& queue = of(pane);
    queue.maxLines = maxLines;
    queue.trim();
}

void LogPaneQueue::recordTo(QPlainTextEdit* pane, LogFileWriter* file)
{
    LogPaneQueue& queue = of(pane);
    queue.file = file;
    queue.fileName = pane->objectName();
}

bool LogPaneQueue::full() const
{
    return maxLines > 0 && pane->document()->blockCount() >= maxLines;
}

void LogPaneQueue::add(const QString& line, bool mayWait)
{
    if (file)
        file->append(fileName, line);
    const QString shown = LongLineCut::shorten(line);
    const bool isFull = full();
    if (waiting.isEmpty() || waiting.constLast().text.size() >= kPieceChars) {
        waiting.append(Piece{});
        // A full pane's pieces add up to a pane of lines; without room set
        // aside, growing would leave up to half of each unused.
        if (isFull)
            waiting.last().text.reserve(kPieceChars + shown.size() + 1);
    }
    Piece& piece = waiting.last();
    if (piece.lines++ > 0)
        piece.text += QLatin1Char('\n');
    piece.text += shown;
    const qsizetype blocks = 1 + shown.count(QLatin1Char('\n'));
    piece.blocks += blocks;
    ++waitingLines;
    waitingBlocks += blocks;
    waitingChars += shown.size();

    bool writeNow = !mayWait;
    if (isFull) {
        dropCovered();
        writeNow = writeNow || waitingChars >= kMaxWaitingCharsWhenFull;
    } else {
        writeNow = writeNow || waitingLines >= kMaxWaitingLines || waitingChars >= kMaxWaitingChars;
    }
    if (writeNow)
        write();
    else if (!soon.isActive())
        soon.start();
}

void LogPaneQueue::dropCovered()
{
    while (waiting.size() > 1 && waitingBlocks - waiting.constFirst().blocks >= maxLines) {
        const Piece& oldest = waiting.constFirst();
        waitingLines -= oldest.lines;
        waitingBlocks -= oldest.blocks;
        waitingChars -= oldest.text.size();
        waiting.removeFirst();
    }
}

void LogPaneQueue::write()
{
    soon.stop();
    if (waiting.isEmpty())
        return;

    // The layout would measure the last lines and repaint for every edit; it
    // hears of them at most once a frame (refresh).
    if (!refreshSoon.isActive()) {
        QScrollBar* bar = pane->verticalScrollBar();
        follow = pane->isVisible() && bar->value() == bar->maximum();
        refreshSoon.start();
    }
    QTextDocument* document = pane->document();
    const QSignalBlocker quiet(document->documentLayout());
    // What waits fills the pane by itself: none of the lines it holds would stay.
    if (maxLines > 0 && waitingBlocks >= maxLines) {
        document->clear();
        hasLines = false;
    }
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    for (const Piece& piece : std::as_const(waiting)) {
        if (hasLines || !document->isEmpty())
            cursor.insertBlock();
        cursor.insertText(piece.text);
        hasLines = true;
    }
    cursor.endEditBlock();
    waiting.clear();
    waitingLines = waitingBlocks = waitingChars = 0;
    if (maxLines > 0 && document->blockCount() > maxLines + maxLines / kExcessPart)
        trim();
}

void LogPaneQueue::trim()
{
    QTextDocument* document = pane->document();
    if (maxLines == 0 || document->blockCount() <= maxLines)
        return;
    // Not the document's own bound: it moves a cursor block by block, which
    // lays out every block it drops. A selection made by position lays out
    // none, and the text it removes is freed with the next edit.
    const QSignalBlocker quiet(document->documentLayout());
    QTextCursor cursor(document);
    cursor.setPosition(document->findBlockByNumber(document->blockCount() - maxLines).position(),
                       QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (!refreshSoon.isActive())
        refreshSoon.start();
}

void LogPaneQueue::refresh()
{
    trim();
    QAbstractTextDocumentLayout* layout = pane->document()->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
    emit layout->update();
    // A pane scrolled to its end follows the new lines, as an append does.
    if (follow)
        pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
}
