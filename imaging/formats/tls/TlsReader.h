#pragma once
// Reads one frame of the library's own sequence files ("TLSP"): 1-byte pixels become an 8-bit
// image whose palette spells out the pixel bits (colour flags, alpha bits and the attribute
// table), 4-byte pixels a 32-bit one. The whole file is checked against its CRC.

#include "imaging/GraphicsCodec.h"
#include "imaging/formats/tls/TlsFormat.h"

class CTlsReader : public CGraphicsReader
{
public:
    // Frames are counted from 0; larger indices are treated as this one.
    static constexpr unsigned MaxFrameIndex = 256;

    using CGraphicsReader::Read;
    // Reads the frame that SetFrameIndex chose (0 after construction).
    void Read(CDataStream& stream, CGraphicsImage& image) override;
    // These keep the frame index for later reads.
    void Read(CDataStream& stream, CGraphicsImage& image, unsigned frame);
    void Read(std::string_view fileName, CGraphicsImage& image, unsigned frame);

    void SetFrameIndex(unsigned frame) { m_frame = frame < MaxFrameIndex ? frame : MaxFrameIndex; }
    unsigned FrameIndex() const { return m_frame; }

    // What the last read found: the file's header and the frame's attribute block and trailer.
    const tls::Header& Header() const { return m_header; }
    const tls::AttributeBlock& Attributes() const { return m_attributes; }
    const tls::Trailer& Trailer() const { return m_trailer; }

protected:
    [[noreturn]] void ThrowOpenError() const override;

private:
    unsigned m_frame = 0;
    tls::Header m_header;
    tls::AttributeBlock m_attributes{};
    tls::Trailer m_trailer{};
};
