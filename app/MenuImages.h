#pragma once
// The pictures of the flat drop-down menus: each tool-bar button's picture, and a light-grey copy
// for the button's command when it is disabled. A command's picture is found through its position
// in the table of button commands.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>

#include <cstdint>
#include <span>
#include <vector>

class CMenuImages {
public:
    // The tool bar's strip of pictures, one per button left to right; buttons lists the bar's
    // commands with 0 for a separator. Later strips append to the table.
    void Add(const QPixmap& strip, QSize imageSize, std::span<const std::uint32_t> buttons);

    bool Empty() const { return table_.empty(); }
    QSize ImageSize() const { return imageSize_; }
    std::span<const std::uint16_t> Table() const { return table_; }
    // The picture with its disabled form; a null icon for an index without one.
    QIcon Icon(std::uint16_t index) const;

private:
    QSize imageSize_;
    std::vector<std::uint16_t> table_;
    std::vector<QIcon> icons_;
};

// The light-grey copy of a picture for a disabled command; transparent pixels stay transparent.
QImage DisabledPicture(const QImage& picture);
