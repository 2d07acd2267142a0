#pragma once

#include "app/LogLines.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <memory>
#include <unordered_map>
#include <vector>

class LogFileWriter;
class QMenu;
class QTextLayout;

// A log pane. It keeps the newest lines of its log and lays out only those in
// view, wrapped to its width, so that a line costs its bytes however many the
// pane holds and appending one costs the same whether the pane is full or not.
// Its text can be selected and copied, not edited. A pane scrolled to its end
// follows new lines; elsewhere it stays on the lines it shows. Window thread
// only.
class LogView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit LogView(QWidget* parent = nullptr);

    // A logged line goes whole to the log file, if one records the pane, and is
    // shown cut where it is too long (LongLineCut). Each line break in it
    // begins a line of the pane.
    void appendLine(const QString& line);
    void clear();
    // Keeps the newest `maxLines` lines; 0 keeps them all.
    void setMaxLines(int maxLines);
    // Every line appended from now on also goes to `file`, under the pane's
    // object name; none with a null file.
    void recordTo(LogFileWriter* file);

    int lineCount() const;
    // 0 is the oldest line kept.
    QString line(int index) const;
    QString toPlainText() const;
    QString selectedText() const;
    QMenu* createStandardContextMenu();

public slots:
    void copy();
    void selectAll();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // A place in the text: a line by its serial number, and a character in it.
    struct Position
    {
        qint64 serial = 0;
        qsizetype offset = 0;
        auto operator<=>(const Position&) const = default;
    };
    struct Shown
    {
        qint64 serial;
        qreal top;
        qreal height;
        std::shared_ptr<QTextLayout> layout;
    };

    // Brings the scroll bar up to date with the lines and repaints; at most
    // once a frame, however many lines come.
    void refresh();
    void scrolled(int value);
    int pageLines() const;
    // The lines in view, top to bottom, laid out.
    std::vector<Shown> shownLines();
    std::shared_ptr<QTextLayout> layoutOf(qint64 serial);
    Position positionAt(const QPoint& point);
    bool hasSelection() const { return anchor != cursor; }

    LogLines lines;
    LogFileWriter* file = nullptr;
    QString fileName;
    QTimer refreshSoon;
    // Showing the newest lines, or from `topSerial` down.
    bool atEnd = true;
    qint64 topSerial = 0;
    bool syncing = false;
    // The selection runs between the two; none while they are equal.
    Position anchor;
    Position cursor;
    bool selecting = false;
    // The lines last in view, laid out at the pane's width.
    std::unordered_map<qint64, std::shared_ptr<QTextLayout>> layouts;
};
