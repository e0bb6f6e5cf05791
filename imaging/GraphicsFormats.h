#pragma once
// Every picture format of the library in one table: how a file's first bytes show the format,
// which name extensions save in it, and how its reader and writer are made. Detection, loading and
// saving all go through this table; a new format is one more row.

#include "imaging/DetectGraphicsType.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

class CGraphicsImage;
class CGraphicsReader;
class CGraphicsWriter;

// A file's first kDetectHeaderSize bytes (zero past its end): as they are, and as the text tests
// see them, with every zero byte a blank so that words are found across binary fields.
struct DetectHeader
{
    std::array<std::uint8_t, kDetectHeaderSize> raw{};
    std::array<std::uint8_t, kDetectHeaderSize> text{};

    explicit DetectHeader(std::span<const std::uint8_t> header);

    bool StartsWith(std::string_view prefix) const;    // on the raw bytes
    bool HasAt(std::size_t offset, std::string_view bytes) const;  // on the raw bytes
    bool TextStartsWith(std::string_view prefix) const;
    bool TextContains(std::string_view word) const;
};

// How strongly a header points at a format; the strongest match wins. A signature at a fixed
// place is final. The weaker kinds rank in the order in which a later test has always overridden an
// earlier one: a binary header layout, a TIFF byte-order mark, the word "JFIF", an XPM word, a
// JPEG or PNM magic number, the XWD file version.
enum class DetectMatch : int {
    None,
    BinaryLayout,
    ByteOrderMark,
    JfifWord,
    XpmWord,
    Magic,
    XwdVersion,
    Signature,
};

struct GraphicsFormat
{
    GraphicsFileType type;
    DetectMatch (*detect)(const DetectHeader& header);
    // Extensions (with the dot, upper case) that SaveGraphicsFile writes in this format; none for a
    // format without a writer.
    std::span<const std::string_view> saveExtensions;
    std::unique_ptr<CGraphicsReader> (*createReader)();
    // Null for a format without a writer. The picture decides settings such as keeping its alpha.
    std::unique_ptr<CGraphicsWriter> (*createWriter)(const CGraphicsImage& image);
};

std::span<const GraphicsFormat> GraphicsFormats();
// The row of a format; null for None.
const GraphicsFormat* FindGraphicsFormat(GraphicsFileType type);
