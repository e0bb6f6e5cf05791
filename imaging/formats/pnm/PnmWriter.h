#pragma once
// Writes 1-bit images as binary bitmaps (P4, bit 1 for the darker palette colour) and every other
// image as a binary pixel map (P6) with maximum 255.

#include "imaging/GraphicsCodec.h"

class CPnmWriter : public CGraphicsWriter
{
public:
    using CGraphicsWriter::Write;
    void Write(CDataStream& stream, const CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowCreateError() const override;
    [[noreturn]] void ThrowWriteError() const override;
};
