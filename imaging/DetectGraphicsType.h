#pragma once
// The picture formats that the library can load and save, and how a file's format is found:
// by its first bytes when loading, by its name's extension when saving.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

enum class GraphicsFileType : int {
    None = -1,
    Bmp = 0,
    Jpeg = 1,
    Gif = 2,
    Png = 3,
    Tiff = 4,
    Xpm = 5,
    Xwd = 6,
    Pnm = 7,
    Eps = 8,
    Tls = 9,
    Ico = 10,
    Webp = 11,
    Avif = 12,
    Heif = 13,
};

// How many leading bytes the content detection looks at.
inline constexpr std::size_t kDetectHeaderSize = 64;

// The format of a file that starts with `header`. Only the first kDetectHeaderSize bytes count;
// a shorter header is read as if zero bytes followed it.
GraphicsFileType DetectGraphicsType(std::span<const std::uint8_t> header);

// The part of a file name from its last '.', where only a dot after the first character counts.
// A name without such a dot is its own extension (and then matches no format).
std::string_view FileNameExtension(std::string_view fileName);

// The format written for a file name, chosen by its extension without regard to case.
// None for extensions without a writer.
GraphicsFileType WriterTypeForName(std::string_view fileName);
