#include "ui/ImageWndBlit.h"

#include "imaging/GraphicsImage.h"

#include <QImage>
#include <QPainter>

void DrawBottomUpImage(QPainter& painter, const CGraphicsImage& image, const QRect& source, const QPoint& target)
{
    if (image.IsEmpty() || image.Bpp() != 32)
        return;
    const QRect picture(0, 0, static_cast<int>(image.Width()), static_cast<int>(image.Height()));
    const QRect band = source.intersected(picture);
    if (band.isEmpty())
        return;
    const QPoint to = target + (band.topLeft() - source.topLeft());
    const std::size_t firstByte = static_cast<std::size_t>(band.x()) * 4;
    for (int row = 0; row < band.height(); ++row) {
        const std::uint8_t* pixels = image.Row(static_cast<std::uint32_t>(band.y() + row)) + firstByte;
        const QImage line(pixels, band.width(), 1, static_cast<qsizetype>(image.Stride()), QImage::Format_RGB32);
        painter.drawImage(QPoint(to.x(), to.y() + row), line);
    }
}
