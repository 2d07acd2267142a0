#pragma once

#include <QString>
#include <QStringEncoder>

#include <deque>
#include <memory>
#include <vector>

// The newest lines of a log pane. They are held as UTF-8, one after another in
// large chunks, so that a line costs its bytes and an offset, dropping the
// oldest line costs nothing, and a chunk whose lines are all dropped is reused
// for the newest: a full pane's memory stays as it is however long it runs.
// Every line ever appended has a serial number, one more than the line before,
// by which a view keeps its place while the oldest lines go.
class LogLines
{
public:
    // Keeps the newest `maxLines`; 0 keeps them all.
    void setMaxLines(qsizetype maxLines);
    // One line; a line break in it is kept as a character.
    void append(QStringView line);
    void clear();

    qsizetype size() const { return count; }
    bool isEmpty() const { return count == 0; }
    // 0 is the oldest line kept.
    QString at(qsizetype index) const;
    qint64 firstSerial() const { return nextSerial - count; }
    qint64 endSerial() const { return nextSerial; }
    // Every line kept, joined by line feeds.
    QString joined() const;

private:
    struct Chunk
    {
        std::unique_ptr<char[]> bytes;
        qsizetype capacity = 0;
        qsizetype used = 0;
        // Where each line ends.
        std::vector<quint32> ends;
        qint64 firstSerial = 0;
    };

    const Chunk& chunkOf(qint64 serial) const;
    static QString lineOf(const Chunk& chunk, qsizetype index);
    Chunk& chunkFor(qsizetype bytes);
    void trim();

    std::deque<Chunk> chunks;
    // The front chunk's lines that are no longer kept.
    qsizetype dropped = 0;
    qsizetype count = 0;
    qint64 nextSerial = 0;
    qsizetype maxLines = 0;
    Chunk spare;
    QStringEncoder encoder{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
};
