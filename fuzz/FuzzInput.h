#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

// Cuts a fuzzer's input into the pieces a target needs: the first count - 1
// lines (without their LF), then everything after them, so a seed file reads
// like the request or file it stands for.
inline QList<QByteArray> splitInput(const uint8_t* data, size_t size, int count)
{
    QByteArray rest(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QList<QByteArray> pieces;
    while (pieces.size() < count - 1) {
        const qsizetype end = rest.indexOf('\n');
        if (end < 0)
            break;
        pieces << rest.left(end);
        rest.remove(0, end + 1);
    }
    while (pieces.size() < count - 1)
        pieces << QByteArray();
    pieces << rest;
    return pieces;
}
