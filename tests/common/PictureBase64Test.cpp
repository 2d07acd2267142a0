#include "common/Failure.h"
#include "common/Picture.h"
#include "common/PictureBase64.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray encodedImage(const char* format)
{
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QByteArray bytesOf(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(i * 7));
    return bytes;
}

} // namespace

TEST(Base64Lines, CrLfAfterEverySeventySixCharacters)
{
    EXPECT_EQ(toBase64Lines({}), "");
    EXPECT_EQ(toBase64Lines("M"), "TQ==");
    EXPECT_EQ(toBase64Lines("Ma"), "TWE=");
    EXPECT_EQ(toBase64Lines("\xfb\xff"), "+/8=");

    const QString of57 = toBase64Lines(bytesOf(57));
    EXPECT_EQ(of57.size(), 78);
    EXPECT_TRUE(of57.endsWith("\r\n"));
    EXPECT_EQ(of57.left(76), QString::fromLatin1(bytesOf(57).toBase64()));

    const QStringList of58 = toBase64Lines(bytesOf(58)).split("\r\n");
    ASSERT_EQ(of58.size(), 2);
    EXPECT_EQ(of58[0].size(), 76);
    EXPECT_EQ(of58[1].size(), 4);
    EXPECT_TRUE(of58[1].endsWith("=="));

    const QString of114 = toBase64Lines(bytesOf(114));
    EXPECT_EQ(of114.size(), 2 * 78);
    EXPECT_EQ(of114.mid(76, 2), "\r\n");
    EXPECT_TRUE(of114.endsWith("\r\n"));
    EXPECT_EQ(QString(of114).remove("\r\n"), QString::fromLatin1(bytesOf(114).toBase64()));
}

TEST(PictureToBase64, JpegFileComesBackByteForByte)
{
    QTemporaryDir dir;
    // Bytes after the end-of-image marker survive only if the file is never re-encoded.
    const QByteArray file = encodedImage("JPEG") + "trailing bytes of the original file";
    const Picture picture = Picture::load(writeFile(dir, "face.jpg", file));
    EXPECT_EQ(picture.format(), "jpeg");
    EXPECT_EQ(picture.image().size(), QSize(32, 24));

    const QString text = PictureToBase64(picture);
    for (const QString& line : text.split("\r\n"))
        EXPECT_LE(line.size(), 76);
    EXPECT_EQ(QByteArray::fromBase64(text.toLatin1()), file);
}

TEST(PictureToBase64, BitmapKeepsItsFileBytes)
{
    QTemporaryDir dir;
    const QByteArray file = encodedImage("BMP");
    const Picture picture = Picture::load(writeFile(dir, "face.bmp", file));
    EXPECT_EQ(picture.format(), "bmp");
    EXPECT_EQ(QByteArray::fromBase64(PictureToBase64(picture).toLatin1()), file);
}

TEST(Picture, FileThatIsNoPictureIsAnError)
{
    QTemporaryDir dir;
    const QString text = writeFile(dir, "face.jpg", "not a picture");
    EXPECT_THROW(Picture::load(text), Failure);
    EXPECT_THROW(Picture::load(dir.filePath("missing.jpg")), Failure);
    EXPECT_THROW(Picture::load(writeFile(dir, "empty.jpg", {})), Failure);
    EXPECT_TRUE(Picture().isNull());
    EXPECT_EQ(PictureToBase64(Picture()), "");
}
