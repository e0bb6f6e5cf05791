#pragma once
// Reads WebP files through libwebp: lossy and lossless pictures, with or without alpha, and the first
// frame of an animation as it stands on the canvas (a frame smaller than the canvas leaves the rest
// transparent). Pictures without alpha become 24-bit images, those with alpha 32-bit ones with
// straight (not premultiplied) alpha.

#include "imaging/GraphicsCodec.h"

class CWebpReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
