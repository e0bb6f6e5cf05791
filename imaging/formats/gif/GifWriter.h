#pragma once
// Writes GIF89a files: one image, or an animation of several. Images of more than 8 bpp are
// reduced to 256 colours with Quantize first. Every frame has the first image's size; the first
// frame's palette is the global colour table, and a later frame whose colours differ brings its
// own local table.

#include "imaging/GraphicsCodec.h"

#include <cstdint>
#include <span>
#include <vector>

class CGraphicsImage;

class CGifWriter : public CGraphicsWriter
{
public:
    static constexpr unsigned NoTransparency = 256;

    using CGraphicsWriter::Write;
    // The image is the first frame; the frame list supplies the others.
    void Write(CDataStream& stream, const CGraphicsImage& image) override;

    // The frames after the first; the frame count becomes their number plus one. The images must
    // outlive the writing.
    void SetFrames(std::span<const CGraphicsImage* const> laterFrames);
    // A count above the list's length makes the writing fail; 0 counts as 1.
    void SetFrameCount(unsigned count) { m_frameCount = count; }
    unsigned FrameCount() const { return m_frameCount == 0 ? 1 : m_frameCount; }
    // Indices from 256 up mean none.
    void SetTransparentIndex(unsigned index) { m_transparentIndex = index; }
    void SetBackgroundIndex(std::uint8_t index) { m_backgroundIndex = index; }
    // Frame delay in hundredths of a second.
    void SetDelay(std::uint16_t delay) { m_delay = delay; }

protected:
    [[noreturn]] void ThrowCreateError() const override;
    [[noreturn]] void ThrowWriteError() const override;

private:
    void WriteBytes(CDataStream& stream, std::span<const std::uint8_t> bytes) const;
    void WriteFrame(CDataStream& stream, const CGraphicsImage& frame, const CGraphicsImage& first,
                    unsigned globalBits, std::uint64_t& rowsDone);

    std::vector<const CGraphicsImage*> m_laterFrames;
    unsigned m_frameCount = 1;
    unsigned m_transparentIndex = NoTransparency;
    std::uint8_t m_backgroundIndex = 0;
    std::uint16_t m_delay = 50;
};
