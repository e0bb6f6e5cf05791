#pragma once
// Reads X Window Dump files (version 7) of Z pixmaps in either byte order: colour-mapped dumps of
// up to 8 bits as 8-bit images with the dump's colour map, true- and direct-colour dumps of any
// channel masks as 24-bit images.

#include "imaging/GraphicsCodec.h"

class CXwdReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowOpenError() const override;
};
