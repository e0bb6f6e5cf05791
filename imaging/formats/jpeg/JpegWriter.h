#pragma once
// Writes baseline JPEG files through libjpeg: 24-bit colour, or one grey component when asked to.
// Any image format can be written; indexed images go through their palette. The comment goes
// into a comment marker, with its terminating zero.

#include "imaging/GraphicsCodec.h"

class CJpegWriter : public CGraphicsWriter
{
public:
    static constexpr int DefaultQuality = 75;

    using CGraphicsWriter::Write;
    void Write(CDataStream& stream, const CGraphicsImage& image) override;

    int Quality() const { return m_quality; }
    // 0 to 100; values outside are taken as the nearest end.
    void SetQuality(int quality);
    bool Grey() const { return m_grey; }
    void SetGrey(bool grey) { m_grey = grey; }

protected:
    [[noreturn]] void ThrowCreateError() const override;

private:
    int m_quality = DefaultQuality;
    bool m_grey = false;
};
