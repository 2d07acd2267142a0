#pragma once

#include <QObject>
#include <QList>
#include <QString>
#include <QTimer>

class LogFileWriter;
class QPlainTextEdit;

// Lines on their way into a log pane. Laying out lines one edit at a time costs
// the window thread far more than one edit for many, so while a handler or a
// server step runs (a Batch is open) lines wait in their pane's queue and go in
// together when it ends. Outside a batch a line goes in at once. A bounded pane
// that is full takes a handler's lines at its next frame instead: lines that
// newer ones push out before anyone could see them never enter it, and a burst
// that fills the pane by itself replaces its text in one edit. Lines keep
// their order and are added whole, nothing added to them except where a line
// is too long to show (LongLineCut). A pane may also hand every line, whole,
// to a log file the moment it is appended. Window thread only.
class LogPaneQueue : public QObject
{
    Q_OBJECT

public:
    // While one exists, appended lines wait; the last one to end writes them.
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
    };

    static void append(QPlainTextEdit* pane, const QString& line);
    // Waits even outside a batch, for whoever calls flushAll when its lines
    // must be in (the server, before a reply leaves); never longer than a few
    // milliseconds once the event loop runs.
    static void appendLater(QPlainTextEdit* pane, const QString& line);
    // Writes what waits for every pane, full or not, as one edit per pane.
    // Whoever reads a pane's text, or is about to hand out what its lines
    // report, calls it first.
    static void flushAll();
    // Empties the pane for a fresh start: nothing waiting, no lines yet.
    static void clear(QPlainTextEdit* pane);
    // The pane keeps its newest `maxLines` lines (blocks); 0 keeps them all.
    static void bound(QPlainTextEdit* pane, int maxLines);
    // Every line appended from now on also goes to `file`, under the pane's
    // object name; none with a null file.
    static void recordTo(QPlainTextEdit* pane, LogFileWriter* file);

private:
    explicit LogPaneQueue(QPlainTextEdit* pane);
    ~LogPaneQueue() override;

    // Lines joined by line feeds, about a piece's worth of characters.
    struct Piece
    {
        QString text;
        qsizetype lines = 0;
        // At least the blocks the text makes; a lone '\r' is not counted.
        qsizetype blocks = 0;
    };

    static LogPaneQueue& of(QPlainTextEdit* pane);
    // What the last batch to end does: every pane's lines go in, except that a
    // full pane's wait for its frame.
    static void flushBatch();
    bool full() const;
    // Written at once unless the line may wait and the queue is not full.
    void add(const QString& line, bool mayWait);
    // Lets go of the oldest pieces while the newer ones fill the pane alone.
    void dropCovered();
    void write();
    void refresh();
    // Drops the oldest blocks beyond maxLines.
    void trim();

    QPlainTextEdit* pane;
    int maxLines = 0;
    LogFileWriter* file = nullptr;
    QString fileName;
    QList<Piece> waiting;
    qsizetype waitingLines = 0;
    qsizetype waitingBlocks = 0;
    qsizetype waitingChars = 0;
    // An empty first line leaves the document empty, so the pane's having
    // lines is kept here.
    bool hasLines = false;
    // Lines of a handler that runs the event loop meanwhile still show.
    QTimer soon;
    // Runs while the layout has yet to hear of lines written; whether the pane
    // was scrolled to its end before them.
    QTimer refreshSoon;
    bool follow = false;
};
