#pragma once
// Reads X PixMap files: C source declaring an array of strings with the size, a colour table and
// the pixel rows. Up to 256 colours give an 8-bit indexed image, more a 24-bit one. The colour
// "None" is transparent: palette alpha 0 (the other entries 255), or with more than 256 colours a
// 32-bit image with alpha. Colours are "#" hex values with 1 to 4 digits per channel or X11 names.

#include "imaging/GraphicsCodec.h"

class CXpmReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
