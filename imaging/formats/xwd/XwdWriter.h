#pragma once
// Writes X Window Dump files (version 7): images of up to 8 bits as 8-bit pseudo-colour dumps with
// a 256-entry colour map, every other image as a 24-bit true-colour dump of 32 bits per pixel.

#include "imaging/GraphicsCodec.h"

class CXwdWriter : public CGraphicsWriter
{
public:
    using CGraphicsWriter::Write;
    void Write(CDataStream& stream, const CGraphicsImage& image) override;

protected:
    [[noreturn]] void ThrowCreateError() const override;
    [[noreturn]] void ThrowWriteError() const override;
};
