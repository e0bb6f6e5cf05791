#pragma once
// Writes PNG files through libpng: indexed images as palette PNGs of their depth (with the
// with-alpha flag, a palette whose alpha marks entries transparent also as a tRNS chunk), 32-bit
// images with the with-alpha flag as RGBA, everything else as 8-bit RGB. The comment goes into a
// "Comment" text chunk.

#include "imaging/GraphicsCodec.h"
#include "imaging/formats/png/PngCompression.h"

#include <optional>

class CPngWriter : public CGraphicsWriter
{
public:
    using CGraphicsWriter::Write;
    // Uses the object's with-alpha flag (off after construction).
    void Write(CDataStream& stream, const CGraphicsImage& image) override;
    void Write(CDataStream& stream, const CGraphicsImage& image, bool withAlpha);
    // The file-name variants with the flag: it stays set in the object.
    void Write(std::string_view fileName, const CGraphicsImage& image, bool withAlpha);
    void Write(std::wstring_view fileName, const CGraphicsImage& image, bool withAlpha);

    bool WithAlpha() const { return m_withAlpha; }
    void SetWithAlpha(bool withAlpha) { m_withAlpha = withAlpha; }
    // Fixed compression settings; without them each picture gets ChoosePngCompression's.
    void SetCompression(std::optional<PngCompression> compression) { m_compression = compression; }

private:
    bool m_withAlpha = false;
    std::optional<PngCompression> m_compression;
};
