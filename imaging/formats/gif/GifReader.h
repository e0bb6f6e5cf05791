#pragma once
// Reads the first image of a GIF87a or GIF89a file into an 8-bit indexed image of the frame's
// size, with the frame's local colour table (or the global one) as palette. When the pixels use the
// transparent index of a graphic control extension, that entry gets alpha 0 and every other
// entry alpha 255.

#include "imaging/GraphicsCodec.h"

#include <cstdint>
#include <vector>

class CLzwRowSink;

class CGifReader : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream& stream, CGraphicsImage& image) override;

    // The transparent index of the last graphic control extension read, -1 for none.
    int TransparentIndex() const { return m_transparentIndex; }
    std::uint32_t ScreenWidth() const { return m_screenWidth; }
    std::uint32_t ScreenHeight() const { return m_screenHeight; }

protected:
    [[noreturn]] void ThrowOpenError() const override;

private:
    void ReadHeader();
    // Reads blocks up to an image descriptor (true) or the trailer (false).
    bool ParseBlocks();
    void ReadExtension();
    void ReadImage(CGraphicsImage& image);
    void ApplyTransparentIndex(CGraphicsImage& image) const;
    void DecodeData(CLzwRowSink& rows, std::uint32_t width, std::uint32_t height);
    int ReadCorruptCheckedByte();
    void SkipSubBlocks();

    CDataStream* m_stream = nullptr;
    std::vector<std::uint8_t> m_globalTable;  // R, G, B per entry
    std::uint32_t m_screenWidth = 0;
    std::uint32_t m_screenHeight = 0;
    int m_transparentIndex = -1;
};
