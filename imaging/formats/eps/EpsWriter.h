#pragma once
// Writes an image as an Encapsulated PostScript page: a fixed program with the pixels as
// hexadecimal text, placed on an A4 page. Bilevel images go out as 1-bit samples, images with the
// plain grey palette as 8-bit grey, everything else as 8-bit RGB.

#include "imaging/GraphicsCodec.h"

#include <cstdint>

class CEpsWriter : public CGraphicsWriter
{
public:
    using CGraphicsWriter::Write;
    void Write(CDataStream& stream, const CGraphicsImage& image) override;

    // Pixels per metre; 0 on either axis fits the picture to the page (the default).
    void SetResolution(std::uint32_t horizontal, std::uint32_t vertical)
    {
        m_xResolution = horizontal;
        m_yResolution = vertical;
    }

protected:
    [[noreturn]] void ThrowCreateError() const override;
    [[noreturn]] void ThrowWriteError() const override;

private:
    std::uint32_t m_xResolution = 0;
    std::uint32_t m_yResolution = 0;
};
