#include "app/MenuImages.h"

#include "app/MenuItemData.h"

void CMenuImages::Add(const QPixmap& strip, QSize imageSize, std::span<const std::uint32_t> buttons)
{
    if (strip.isNull())
        return;
    if (imageSize_.isEmpty())
        imageSize_ = imageSize;
    int picture = 0;
    for (const std::uint32_t id : buttons) {
        if (id == 0)
            continue;
        const int x = picture++ * imageSize_.width();
        if (table_.size() >= kMenuImageLimit || x + imageSize_.width() > strip.width())
            break;
        const QPixmap normal = strip.copy(x, 0, imageSize_.width(), imageSize_.height());
        QIcon icon(normal);
        icon.addPixmap(QPixmap::fromImage(DisabledPicture(normal.toImage())), QIcon::Disabled);
        icons_.push_back(icon);
        table_.push_back(static_cast<std::uint16_t>(id));
    }
}

QIcon CMenuImages::Icon(std::uint16_t index) const
{
    return index < icons_.size() ? icons_[index] : QIcon();
}

QImage DisabledPicture(const QImage& picture)
{
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            if (qAlpha(row[x]) == 0)
                continue;
            const int level = DisabledPictureLevel(static_cast<std::uint8_t>(qRed(row[x])),
                                                   static_cast<std::uint8_t>(qGreen(row[x])),
                                                   static_cast<std::uint8_t>(qBlue(row[x])));
            row[x] = qRgba(level, level, level, qAlpha(row[x]));
        }
    }
    return grey;
}
