#include "common/Picture.h"

#include "common/Failure.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

Picture Picture::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QString("Unable to read %1: %2").arg(path, file.errorString()));
    return fromBytes(file.readAll(), path);
}

Picture Picture::fromBytes(const QByteArray& bytes, const QString& origin)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    Picture picture;
    picture.format_ = reader.format();
    picture.image_ = reader.read();
    if (picture.image_.isNull())
        throw Failure(QString("%1 is not a readable picture: %2").arg(origin, reader.errorString()));
    picture.bytes_ = bytes;
    return picture;
}
