#include "server/MultipartForm.h"

#include <algorithm>

namespace MultipartForm {

namespace {

// Blanks and control characters at both ends go.
QByteArray trimmedField(const QByteArray& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

QList<QByteArray> headerLines(const QByteArray& block)
{
    QByteArray unified = block;
    unified.replace("\r\n", "\n");
    unified.replace('\r', '\n');
    return unified.split('\n');
}

HeaderList parseHeaders(const QByteArray& block)
{
    HeaderList headers;
    if (block.isEmpty())
        return headers;
    for (const QByteArray& line : headerLines(block)) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            headers.entries += line;
        else
            headers.entries += trimmedField(line.left(colon)) + '=' + trimmedField(line.mid(colon + 1));
    }
    return headers;
}

} // namespace

QByteArray HeaderList::value(const QByteArray& name) const
{
    for (const QByteArray& entry : entries) {
        const qsizetype equals = entry.indexOf('=');
        if (equals >= 0 && entry.left(equals).compare(name, Qt::CaseInsensitive) == 0)
            return entry.mid(equals + 1);
    }
    return {};
}

ExtractedPart ExtractMultipartPart(const QByteArray& delimiter, const QByteArray& body)
{
    const qsizetype first = body.indexOf(delimiter);
    const qsizetype closing = body.indexOf(delimiter + "--");
    if (first != 0 || closing <= first)
        return {};

    const QByteArray afterDelimiter = body.mid(delimiter.size() + 2);
    const qsizetype next = afterDelimiter.indexOf(delimiter);
    if (next < 0)
        return {};
    // The part ends before the CR LF that precedes the next delimiter.
    const QByteArray part = afterDelimiter.left(std::max<qsizetype>(next - 2, 0));

    ExtractedPart extracted;
    extracted.rest = afterDelimiter.mid(next);
    const qsizetype blankLine = part.indexOf("\r\n\r\n");
    if (blankLine < 0) {
        extracted.content = part.mid(4);
    } else {
        extracted.headers = parseHeaders(part.left(blankLine));
        extracted.content = part.mid(blankLine + 4);
    }
    return extracted;
}

QByteArray boundaryOf(const QByteArray& contentType)
{
    for (const QByteArray& field : contentType.split(';')) {
        qsizetype start = 0;
        while (start < field.size() && field[start] == ' ')
            ++start;
        const qsizetype equals = field.indexOf('=', start);
        if (equals < 0 || field.mid(start, equals - start).compare("boundary", Qt::CaseInsensitive) != 0)
            continue;
        const QByteArray value = field.mid(equals + 1);
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            return value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

QList<QByteArray> fileParts(const QByteArray& boundary, const QByteArray& body, qint64 contentLength)
{
    QList<QByteArray> files;
    if (body.size() != contentLength)
        return files;
    const QByteArray delimiter = "--" + boundary;
    const qsizetype closingLineLength = delimiter.size() + 4;
    QByteArray rest = body;
    while (rest.size() > closingLineLength) {
        ExtractedPart part = ExtractMultipartPart(delimiter, rest);
        rest = std::move(part.rest);
        if (!part.headers.value("Content-Type").isEmpty() && !part.content.isEmpty())
            files += part.content;
    }
    return files;
}

} // namespace MultipartForm
