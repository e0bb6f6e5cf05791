#pragma once
// Reads HEIF files (HEIC photos of phones, and the other codecs libheif knows) through libheif: the
// primary picture, cropped, turned and mirrored as the file's properties say, at 8 bits per channel.
// Pictures without alpha become 24-bit images, those with alpha 32-bit ones with straight alpha.

#include "imaging/GraphicsCodec.h"

class CHeifReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
