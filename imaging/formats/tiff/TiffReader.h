#pragma once
// Reads TIFF files of either byte order: bilevel, grey and palette images of 1, 2, 4 or 8 bits,
// grey of 16 bits and RGB(A) of 8 or 16 bits per sample (16-bit samples keep their top 8 bits), uncompressed or compressed with LZW, PackBits, Deflate or (bilevel
// only) CCITT modified Huffman, with or without horizontal differencing. The first full-resolution
// image is delivered: reduced-resolution directories before it are passed over. Files whose layout
// or compression this reader does not decode (JPEG, CCITT G3/G4, tiles, separate planes, CMYK,
// YCbCr, CIELab, other sample depths, BigTIFF) are read through libtiff instead
// (imaging/formats/tiff/LibtiffReader.h); what this reader decodes never goes there.

#include "imaging/GraphicsCodec.h"

#include <cstdint>

class CTiffReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

    // The resolution of the last file read, in pixels per metre (2835 when the file has none).
    std::uint32_t XPixelsPerMetre() const { return m_xPixelsPerMetre; }
    std::uint32_t YPixelsPerMetre() const { return m_yPixelsPerMetre; }

protected:
    [[noreturn]] void ThrowOpenError() const override;

private:
    std::uint32_t m_xPixelsPerMetre = 2835;
    std::uint32_t m_yPixelsPerMetre = 2835;
};
