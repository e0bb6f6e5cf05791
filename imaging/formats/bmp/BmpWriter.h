#pragma once
// Writes uncompressed Windows bitmaps: 1-, 4- and 8-bit images with their palette, every
// true-colour image as 24 bits (or 32 bits when asked for). 2-bit images have no bitmap form.

#include "imaging/GraphicsCodec.h"

#include <cstdint>

class CBmpWriter : public CGraphicsWriter
{
public:
    // Flag: an 8-bit file's colour table ends at the highest index the pixels use.
    static constexpr std::uint32_t TrimColourTable = 1;

    using CGraphicsWriter::Write;
    void Write(CDataStream& stream, const CGraphicsImage& image) override;
    // The variants with an output bit count (0: the image's own for 1, 4 and 8 bits, else 24; 24
    // or 32 for any image); it stays set in the object.
    void Write(CDataStream& stream, const CGraphicsImage& image, int bitCount);
    void Write(std::string_view fileName, const CGraphicsImage& image, int bitCount);
    void Write(std::wstring_view fileName, const CGraphicsImage& image, int bitCount);

    void SetResolution(std::int32_t x, std::int32_t y)
    {
        m_xResolution = x;
        m_yResolution = y;
    }
    void SetFlags(std::uint32_t flags) { m_flags = flags; }

protected:
    [[noreturn]] void ThrowCreateError() const override;
    [[noreturn]] void ThrowWriteError() const override;

private:
    std::int32_t m_xResolution = 0;
    std::int32_t m_yResolution = 0;
    int m_bitCount = 0;
    std::uint32_t m_flags = 0;
};
