#include "terminal/GeneratedPhoto.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>

QByteArray generatedJpeg(std::uint32_t seed)
{
    QImage image(240, 320, QImage::Format_RGB32);
    const int hue = static_cast<int>(seed * 47 % 360);
    image.fill(QColor::fromHsv(hue, 90, 220));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromHsv((hue + 180) % 360, 60, 120));
        painter.drawRect(0, 230, 240, 90);
        painter.setBrush(QColor(236, 200, 170));
        painter.drawEllipse(QPoint(120, 140), 62 + static_cast<int>(seed % 11), 82);
        painter.setBrush(QColor(40, 40, 40));
        painter.drawEllipse(QPoint(98, 125), 8, 6);
        painter.drawEllipse(QPoint(142, 125), 8, 6);
        painter.drawRect(100, 180 + static_cast<int>(seed % 7), 40, 5);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes;
}
