#pragma once
// Reads Windows bitmaps (info headers of 40 bytes and longer), OS/2 core-header bitmaps and bare
// bitmap-info blocks without a file header: 1, 4 and 8 bits uncompressed, 4 and 8 bits
// run-length coded, 16 bits (5-5-5, or through the file's masks; into 24 bits, or 32 with an
// alpha mask), 24 and 32 bits (32-bit files with a mask table through their masks). Uncompressed
// files may be top-down (negative height).

#include "imaging/GraphicsCodec.h"

#include <cstdint>

class CBmpReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

    // Of the last file read; the resolutions in pixels per metre, 0 for core headers.
    int BitCount() const { return m_bitCount; }
    std::int32_t XResolution() const { return m_xResolution; }
    std::int32_t YResolution() const { return m_yResolution; }

protected:
    [[noreturn]] void ThrowOpenError() const override;

private:
    int m_bitCount = 0;
    std::int32_t m_xResolution = 0;
    std::int32_t m_yResolution = 0;
};
