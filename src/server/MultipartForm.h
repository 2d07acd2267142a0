#pragma once

#include <QByteArray>
#include <QList>

// Taking a multipart/form-data body apart, byte for byte (binary content included).
namespace MultipartForm {

// A part's header lines as name=value entries (lines without ":" as they were).
struct HeaderList
{
    QList<QByteArray> entries;

    // The value of the first entry with this name, letter case ignored; empty when
    // there is none.
    QByteArray value(const QByteArray& name) const;
};

struct ExtractedPart
{
    QByteArray rest;
    QByteArray content;
    HeaderList headers;
};

// Splits the first part off body, which must start with delimiter and hold the
// closing delimiter (delimiter + "--"); rest then starts at the next delimiter.
// A body of another form gives three empty results.
ExtractedPart ExtractMultipartPart(const QByteArray& delimiter, const QByteArray& body);

// The boundary parameter of a Content-Type value, its name matched without regard
// to case; RFC 2046 allows it in quotes, which are not part of it. Empty when
// there is none.
QByteArray boundaryOf(const QByteArray& contentType);

// The contents of the parts that carry their own Content-Type and are not empty,
// in order. A body whose length differs from contentLength, or that does not have
// the multipart form, yields none.
QList<QByteArray> fileParts(const QByteArray& boundary, const QByteArray& body, qint64 contentLength);

} // namespace MultipartForm
