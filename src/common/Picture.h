#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// A picture as a picture box holds it: the bytes of the file it came from, kept
// unchanged so that they can be sent on, and the decoded image for display.
class Picture
{
public:
    Picture() = default;

    // Reads and decodes a picture file; a file that cannot be read or is no
    // picture Qt can decode raises a Failure naming the file.
    static Picture load(const QString& path);
    // Decodes picture bytes, for example a photo fetched from the terminal.
    static Picture fromBytes(const QByteArray& bytes, const QString& origin);

    bool isNull() const { return bytes_.isEmpty(); }
    const QByteArray& bytes() const { return bytes_; }
    const QImage& image() const { return image_; }
    // The file format as Qt names it, such as "jpeg", "bmp" or "ico".
    const QByteArray& format() const { return format_; }

private:
    QByteArray bytes_;
    QImage image_;
    QByteArray format_;
};
