#pragma once
// The header of an X Window Dump: 25 big-endian 32-bit fields, then the window name; colour map
// entries of 12 bytes follow it. Shared by the XWD reader and writer.

#include <array>
#include <cstdint>

namespace Xwd {

enum Field : std::size_t
{
    HeaderSize,
    FileVersion,
    PixmapFormat,
    PixmapDepth,
    PixmapWidth,
    PixmapHeight,
    XOffset,
    ByteOrder,
    BitmapUnit,
    BitmapBitOrder,
    BitmapPad,
    BitsPerPixel,
    BytesPerLine,
    VisualClass,
    RedMask,
    GreenMask,
    BlueMask,
    BitsPerRgb,
    ColormapEntries,
    NColors,
    WindowWidth,
    WindowHeight,
    WindowX,
    WindowY,
    WindowBorderWidth,
    FieldCount
};

inline constexpr std::uint32_t kFieldsSize = 4 * FieldCount;
inline constexpr std::uint32_t kColormapEntrySize = 12;
inline constexpr std::uint32_t kVersion = 7;
inline constexpr std::uint32_t kZPixmap = 2;
inline constexpr std::uint32_t kMsbFirst = 1;
inline constexpr std::uint32_t kPseudoColor = 3;
inline constexpr std::uint32_t kTrueColor = 4;

using Header = std::array<std::uint32_t, FieldCount>;

}  // namespace Xwd
