#include "ui/ImageWndBlit.h"

#include "imaging/GraphicsImage.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

void DrawBottomUpImage(QPainter& painter, const CGraphicsImage& image, const QRect& source, const QPoint& target)
{
    if (image.IsEmpty() || image.Bpp() != 32)
        return;
    const QRect picture(0, 0, static_cast<int>(image.Width()), static_cast<int>(image.Height()));
    const QRect band = source.intersected(picture);
    if (band.isEmpty())
        return;
    const QPoint shift = band.topLeft() - source.topLeft();
    // The band's lowest address is its bottom row; from there its rows go up in memory, so the
    // QImage over it is the band upside down.
    const std::uint8_t* bottom = image.Row(static_cast<std::uint32_t>(band.bottom()));
    const QImage rows(bottom, static_cast<int>(image.Width()), band.height(), static_cast<qsizetype>(image.Stride()),
                      QImage::Format_RGB32);
    const int top = target.y() + shift.y();
    painter.save();
    // y' = top + height - y turns the upside-down rows right way up.
    painter.setTransform(QTransform(1, 0, 0, -1, 0, top + band.height()), true);
    painter.drawImage(QPoint(target.x() + shift.x(), 0), rows, QRect(band.x(), 0, band.width(), band.height()));
    painter.restore();
}
