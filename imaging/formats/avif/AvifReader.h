#pragma once
// Reads AVIF files through libavif: the primary picture (the first of a sequence), cropped, turned
// and mirrored as its clean-aperture, rotation and mirror properties say, at 8 bits per channel.
// Pictures without alpha become 24-bit images, those with alpha 32-bit ones with straight alpha.

#include "imaging/GraphicsCodec.h"

class CAvifReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
