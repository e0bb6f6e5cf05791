#pragma once
// Writes or replaces one frame of the library's own sequence files ("TLSP"). Images of up to
// 8 bits per pixel are stored with 1-byte pixels (three colour flags and five alpha bits), others
// with their 32-bit pixels. The attribute table comes from the palette alpha or the first pixels'
// alpha bits, where they hold one, or from SetAttributes. When the stream holds every frame of the
// sequence, the header's CRC is brought up to date, so frames may be written in separate calls
// and in any order.

#include "imaging/GraphicsCodec.h"
#include "imaging/formats/tls/TlsFormat.h"

#include <optional>

class CTlsWriter : public CGraphicsWriter
{
public:
    static constexpr unsigned MaxFrameCount = 256;
    static constexpr std::uint16_t DefaultDelay = 5000;

    using CGraphicsWriter::Write;
    // Frame 0 of a sequence of 1.
    void Write(CDataStream& stream, const CGraphicsImage& image) override;
    // Frame 0 starts a sequence; a later frame needs the sequence begun by this writer or in the
    // stream, with the same picture size.
    void Write(CDataStream& stream, const CGraphicsImage& image, unsigned frame, unsigned frameCount);
    // A later frame, or frame 0 of a file that already holds such a sequence, replaces that frame in
    // the file; otherwise the file is made anew.
    void Write(std::string_view fileName, const CGraphicsImage& image, unsigned frame, unsigned frameCount);

    // 8 or 32 bits per stored pixel; 0 chooses by the image: 8 up to 8 bits per pixel, else 32.
    void SetOutputBits(int bits) { m_outputBits = bits == 8 || bits == 32 ? bits : 0; }
    int OutputBits() const { return m_outputBits; }
    void SetUserValue(std::uint32_t value) { m_userValue = value; }
    // A preset table is written instead of the one the image holds.
    void SetAttributes(const tls::AttributeBlock& block) { m_presetAttributes = block; }
    void ClearAttributes() { m_presetAttributes.reset(); }

protected:
    [[noreturn]] void ThrowCreateError() const override;
    [[noreturn]] void ThrowWriteError() const override;

private:
    void WriteFrame(CDataStream& stream, const CGraphicsImage& image, unsigned frame, unsigned frameCount);
    void UpdateCrc(CDataStream& stream);

    int m_outputBits = 0;
    std::uint32_t m_userValue = 0;
    std::optional<tls::AttributeBlock> m_presetAttributes;
    std::optional<tls::Header> m_header;  // of the sequence being written
};
