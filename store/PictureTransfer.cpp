#include "store/PictureTransfer.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QUrl>

namespace {

// Encoded formats whose bytes go to the file unchanged; the loader knows them by their content.
// PNG first: browsers and screenshot tools offer it beside their other formats.
constexpr const char* kPictureMimeTypes[] = {"image/png", "image/jpeg", "image/gif", "image/bmp",
                                             "image/webp", "image/avif", "image/heic", "image/tiff"};

}  // namespace

std::optional<QString> DroppedPictureFile(const QMimeData& mime)
{
    for (const QUrl& url : mime.urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return std::nullopt;
}

bool HasPictureData(const QMimeData& mime)
{
    for (const char* type : kPictureMimeTypes)
        if (mime.hasFormat(QString::fromLatin1(type)))
            return true;
    return mime.hasImage();
}

std::unique_ptr<CPastedPicture> CPastedPicture::FromMimeData(const QMimeData& mime)
{
    std::unique_ptr<CPastedPicture> pasted(new CPastedPicture);
    pasted->file_.setFileTemplate(QDir::tempPath() + QStringLiteral("/quizmora-bild-XXXXXX"));
    if (!pasted->file_.open())
        return nullptr;
    bool written = false;
    for (const char* type : kPictureMimeTypes) {
        const QByteArray bytes = mime.data(QString::fromLatin1(type));
        if (!bytes.isEmpty()) {
            written = pasted->file_.write(bytes) == bytes.size();
            break;
        }
    }
    if (!written && mime.hasImage()) {
        const QImage image = qvariant_cast<QImage>(mime.imageData());
        written = !image.isNull() && image.save(&pasted->file_, "PNG");
    }
    if (!written || !pasted->file_.flush())
        return nullptr;
    pasted->file_.close();
    return pasted;
}
