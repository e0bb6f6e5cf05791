#pragma once
// Reads JPEG files through libjpeg into 24-bit images: colour and grey files are decoded straight
// into the image's B, G, R rows; four-component files (CMYK, and Adobe's YCCK) are turned into
// RGB. The Exif orientation of camera pictures is applied, so portrait photos come out upright.
// The comment markers, joined in file order, become the comment.

#include "imaging/GraphicsCodec.h"

class CJpegReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
