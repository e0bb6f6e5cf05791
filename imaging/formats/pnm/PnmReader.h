#pragma once
// Reads the portable anymaps P1-P6: bitmaps (1 = black) as 1-bit images with the palette white,
// black; grey maps as 8-bit images with a grey ramp; pixel maps as 24 bits. Samples are scaled
// from the file's maximum value to 0-255; maxima above 255 have two-byte binary samples.

#include "imaging/GraphicsCodec.h"

class CPnmReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
