#pragma once
// Pictures that reach the editor dialog by drag and drop or through the clipboard: a picture file
// (a file URL, as file managers give it) or the picture itself (image data, as browsers and
// screenshot tools give it). Image data is kept in a temporary file until the puzzle is written,
// so that it is imported exactly like a file.

#include <QString>
#include <QTemporaryFile>

#include <memory>
#include <optional>

class QMimeData;

// The first local file among the URLs that is an existing file (not a folder).
std::optional<QString> DroppedPictureFile(const QMimeData& mime);

// True when the data carries a picture itself (encoded image bytes or a decoded image).
bool HasPictureData(const QMimeData& mime);

// A temporary file holding the picture of some image data; removed when the object goes.
class CPastedPicture {
public:
    // The picture's own bytes when the data carries a format the imaging library reads by its
    // content, otherwise the decoded image written as PNG. Nothing when there is no picture or the
    // file cannot be written.
    static std::unique_ptr<CPastedPicture> FromMimeData(const QMimeData& mime);

    QString Path() const { return file_.fileName(); }

private:
    CPastedPicture() = default;
    QTemporaryFile file_;
};
