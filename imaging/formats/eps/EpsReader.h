#pragma once
// Reads the picture of an Encapsulated PostScript file: the hexadecimal samples that follow an
// image or colorimage operator (1-bit or 8-bit grey, 8-bit RGB, as this library and netpbm write
// them), or the TIFF preview of a DOS EPS binary file.

#include "imaging/GraphicsCodec.h"

class CEpsReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
