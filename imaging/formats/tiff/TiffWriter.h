#pragma once
// Writes an image as an uncompressed baseline TIFF (little-endian, one directory): 1-bit images as
// bilevel, 4- and 8-bit ones as grey or palette images, everything else as 8-bit RGB without alpha.
// The comment becomes the ImageDescription.

#include "imaging/GraphicsCodec.h"

#include <cstdint>
#include <vector>

class CTiffWriter : public CGraphicsWriter
{
public:
    using CGraphicsWriter::Write;
    void Write(CDataStream& stream, const CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowCreateError() const override;
    [[noreturn]] void ThrowWriteError() const override;
};
