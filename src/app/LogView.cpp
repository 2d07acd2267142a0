#include "app/LogView.h"

#include "app/LongLineCut.h"
#include "common/LogFileWriter.h"
#include "common/TextLines.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>

namespace {

// Space between the text and the pane's edges.
constexpr qreal kMargin = 4;
// How often a pane that takes lines is laid out and painted anew.
constexpr int kRefreshMs = 16;

} // namespace

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    refreshSoon.setSingleShot(true);
    refreshSoon.setInterval(kRefreshMs);
    connect(&refreshSoon, &QTimer::timeout, this, &LogView::refresh);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &LogView::scrolled);
}

void LogView::appendLine(const QString& line)
{
    if (file)
        file->append(fileName, line);
    // Broken as in the log file; a line separator breaks only where it is shown.
    TextLines::forEach(LongLineCut::shorten(line), [this](QStringView shown) { lines.append(shown); });
    if (!refreshSoon.isActive())
        refreshSoon.start();
}

void LogView::clear()
{
    lines.clear();
    anchor = cursor = Position{};
    atEnd = true;
    layouts.clear();
    refresh();
}

void LogView::setMaxLines(int maxLines)
{
    lines.setMaxLines(maxLines);
    refresh();
}

void LogView::recordTo(LogFileWriter* writer)
{
    file = writer;
    fileName = objectName();
}

int LogView::lineCount() const
{
    return int(lines.size());
}

QString LogView::line(int index) const
{
    return lines.at(index);
}

QString LogView::toPlainText() const
{
    return lines.joined();
}

QString LogView::selectedText() const
{
    const Position from = std::max(std::min(anchor, cursor), Position{lines.firstSerial(), 0});
    const Position to = std::max(anchor, cursor);
    QString text;
    for (qint64 serial = from.serial; serial <= to.serial && serial < lines.endSerial(); ++serial) {
        const QString whole = lines.at(serial - lines.firstSerial());
        const qsizetype begin = serial == from.serial ? from.offset : 0;
        const qsizetype end = serial == to.serial ? to.offset : whole.size();
        text += QStringView(whole).mid(begin, std::max<qsizetype>(0, end - begin));
        if (serial != to.serial)
            text += QLatin1Char('\n');
    }
    return text;
}

QMenu* LogView::createStandardContextMenu()
{
    // The same entries, in the same words, as a read-only text edit's menu.
    auto* menu = new QMenu(this);
    QAction* copying = menu->addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy"), this,
                                       &LogView::copy);
    copying->setShortcut(QKeySequence::Copy);
    copying->setEnabled(hasSelection());
    menu->addSeparator();
    QAction* all = menu->addAction(QCoreApplication::translate("QWidgetTextControl", "Select All"), this,
                                   &LogView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!lines.isEmpty());
    return menu;
}

void LogView::copy()
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void LogView::selectAll()
{
    if (lines.isEmpty())
        return;
    anchor = Position{lines.firstSerial(), 0};
    cursor = Position{lines.endSerial() - 1, lines.at(lines.size() - 1).size()};
    viewport()->update();
}

void LogView::refresh()
{
    refreshSoon.stop();
    QScrollBar* bar = verticalScrollBar();
    const int maximum = int(std::max<qsizetype>(0, lines.size() - pageLines()));
    syncing = true;
    bar->setRange(0, maximum);
    bar->setPageStep(pageLines());
    if (!atEnd) {
        topSerial = std::max(topSerial, lines.firstSerial());
        bar->setValue(int(topSerial - lines.firstSerial()));
        atEnd = bar->value() == maximum && topSerial - lines.firstSerial() >= maximum;
    }
    if (atEnd)
        bar->setValue(maximum);
    syncing = false;
    viewport()->update();
}

void LogView::scrolled(int value)
{
    if (syncing)
        return;
    atEnd = value == verticalScrollBar()->maximum();
    topSerial = lines.firstSerial() + value;
    viewport()->update();
}

int LogView::pageLines() const
{
    return std::max(1, int((viewport()->height() - 2 * kMargin) / fontMetrics().lineSpacing()));
}

std::shared_ptr<QTextLayout> LogView::layoutOf(qint64 serial)
{
    std::shared_ptr<QTextLayout>& layout = layouts[serial];
    if (layout)
        return layout;
    layout = std::make_shared<QTextLayout>(lines.at(serial - lines.firstSerial()), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    const qreal width = std::max<qreal>(1, viewport()->width() - 2 * kMargin);
    qreal height = 0;
    layout->beginLayout();
    for (QTextLine row = layout->createLine(); row.isValid(); row = layout->createLine()) {
        row.setLineWidth(width);
        row.setPosition(QPointF(0, height));
        height += row.height();
    }
    layout->endLayout();
    return layout;
}

std::vector<LogView::Shown> LogView::shownLines()
{
    std::vector<Shown> shown;
    const qreal viewHeight = viewport()->height();
    auto heightOf = [](const QTextLayout& layout) { return layout.boundingRect().height(); };
    if (atEnd) {
        // The newest line at the bottom, and above it as many as fit.
        qreal bottom = viewHeight - kMargin;
        for (qint64 serial = lines.endSerial() - 1; serial >= lines.firstSerial() && bottom > 0; --serial) {
            std::shared_ptr<QTextLayout> layout = layoutOf(serial);
            const qreal height = heightOf(*layout);
            bottom -= height;
            shown.push_back(Shown{serial, bottom, height, std::move(layout)});
        }
        std::reverse(shown.begin(), shown.end());
        // Too few to fill the pane: they start at its top.
        if (!shown.empty() && shown.front().top > kMargin) {
            const qreal shift = shown.front().top - kMargin;
            for (Shown& line : shown)
                line.top -= shift;
        }
    } else {
        qreal top = kMargin;
        for (qint64 serial = std::max(topSerial, lines.firstSerial()); serial < lines.endSerial() && top < viewHeight;
             ++serial) {
            std::shared_ptr<QTextLayout> layout = layoutOf(serial);
            const qreal height = heightOf(*layout);
            shown.push_back(Shown{serial, top, height, std::move(layout)});
            top += height;
        }
    }
    // Only the lines in view stay laid out.
    if (layouts.size() > shown.size()) {
        std::unordered_map<qint64, std::shared_ptr<QTextLayout>> kept;
        for (const Shown& line : shown)
            kept.emplace(line.serial, line.layout);
        layouts.swap(kept);
    }
    return shown;
}

LogView::Position LogView::positionAt(const QPoint& point)
{
    const std::vector<Shown> shown = shownLines();
    if (shown.empty())
        return Position{lines.endSerial(), 0};
    auto hit = std::find_if(shown.begin(), shown.end(),
                            [&](const Shown& line) { return point.y() < line.top + line.height; });
    if (hit == shown.end())
        return Position{shown.back().serial, shown.back().layout->text().size()};
    const qreal y = point.y() - hit->top;
    const QTextLayout& layout = *hit->layout;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine row = layout.lineAt(i);
        if (y < row.y() + row.height() || i == layout.lineCount() - 1)
            return Position{hit->serial, row.xToCursor(point.x() - kMargin)};
    }
    return Position{hit->serial, 0};
}

void LogView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setPen(palette().text().color());
    const Position from = std::min(anchor, cursor);
    const Position to = std::max(anchor, cursor);
    for (const Shown& line : shownLines()) {
        QList<QTextLayout::FormatRange> selection;
        if (hasSelection() && line.serial >= from.serial && line.serial <= to.serial) {
            QTextLayout::FormatRange range;
            range.start = int(line.serial == from.serial ? from.offset : 0);
            range.length = int((line.serial == to.serial ? to.offset : line.layout->text().size() + 1) - range.start);
            range.format.setBackground(palette().highlight());
            range.format.setForeground(palette().highlightedText());
            selection << range;
        }
        line.layout->draw(&painter, QPointF(kMargin, line.top), selection);
    }
}

void LogView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    layouts.clear();
    refresh();
}

void LogView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        layouts.clear();
        refresh();
    }
}

void LogView::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy)
        copy();
    else if (event == QKeySequence::SelectAll)
        selectAll();
    else if (event == QKeySequence::MoveToStartOfDocument)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    else if (event == QKeySequence::MoveToEndOfDocument)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void LogView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    cursor = positionAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        anchor = cursor;
    selecting = true;
    viewport()->update();
}

void LogView::mouseMoveEvent(QMouseEvent* event)
{
    if (!selecting)
        return QAbstractScrollArea::mouseMoveEvent(event);
    // Dragging past an edge scrolls the pane, a line a move.
    const QPoint at = event->position().toPoint();
    if (at.y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (at.y() >= viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    cursor = positionAt(at);
    viewport()->update();
}

void LogView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!selecting)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    selecting = false;
    QClipboard* clipboard = QApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseDoubleClickEvent(event);
    // The whole line.
    const Position at = positionAt(event->position().toPoint());
    if (at.serial >= lines.endSerial())
        return;
    anchor = Position{at.serial, 0};
    cursor = Position{at.serial, lines.at(at.serial - lines.firstSerial()).size()};
    viewport()->update();
}
