#include "imaging/formats/png/PngWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/png/PngDeflate.h"
#include "imaging/formats/png/PngIo.h"

#include <algorithm>
#include <csetjmp>
#include <vector>

namespace {

char kCommentKey[] = "Comment";

enum class PngRowSource
{
    Stored,   // indexed rows go out as they are
    Colour24,
    Colour32,
};

// Plain data for the function that calls setjmp.
struct PngWriteLayout
{
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    PngRowSource rows = PngRowSource::Colour24;
    const char* comment = nullptr;
    int transCount = 0;  // palette alpha written as tRNS: the entries up to the last one not opaque
    png_byte trans[256] = {};
    PngCompression compression;
    // The IDAT content made beforehand (large pictures, on several threads); null: rows go to libpng.
    const std::uint8_t* imageData = nullptr;
    std::size_t imageDataSize = 0;
};

// An indexed picture keeps its palette and carries its alpha in a tRNS chunk rather than growing
// to RGBA: every reader that knows PNG transparency at all knows this form, including the ones
// that show only fully transparent or opaque pixels, and the file stays small.
void TakePaletteAlpha(const CGraphicsImage& image, PngWriteLayout& layout)
{
    if (image.GetAlphaKind() != 2)
        return;
    const int entries = 1 << layout.bitDepth;
    for (int i = 0; i < entries; ++i) {
        layout.trans[i] = image.Palette()[i].rgbReserved;
        if (layout.trans[i] != 255)
            layout.transCount = i + 1;
    }
}

// Writes the prepared image data as IDAT chunks of the compression's chunk size, then IEND.
void WritePreparedImageData(png_structp png, const PngWriteLayout& layout)
{
    static const png_byte kIdat[5] = "IDAT";
    static const png_byte kIend[5] = "IEND";
    for (std::size_t offset = 0; offset < layout.imageDataSize; offset += layout.compression.chunkBytes) {
        const std::size_t size = std::min(layout.compression.chunkBytes, layout.imageDataSize - offset);
        png_write_chunk(png, kIdat, layout.imageData + offset, size);
    }
    png_write_chunk(png, kIend, nullptr, 0);
}

PngWriteLayout LayoutFor(const CGraphicsImage& image, bool withAlpha, const CGraphicsCodecInfo& info)
{
    PngWriteLayout layout;
    if (image.Bpp() <= 8) {
        layout.colorType = PNG_COLOR_TYPE_PALETTE;
        layout.bitDepth = image.Bpp();
        layout.rows = PngRowSource::Stored;
        if (withAlpha)
            TakePaletteAlpha(image, layout);
    } else if (image.Bpp() == 32 && withAlpha) {
        layout.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        layout.rows = PngRowSource::Colour32;
    }
    if (info.HasComment())
        layout.comment = info.Comment().c_str();
    return layout;
}

PngPhase WritePng(png_structp png, png_infop info, const CGraphicsImage& image, const PngWriteLayout& layout,
                  const CGraphicsCodecInfo& codecInfo)
{
    if (setjmp(png_jmpbuf(png)))
        return PngPhase::Failed;

    if (layout.comment != nullptr) {
        png_text text{};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = kCommentKey;
        text.text = const_cast<char*>(layout.comment);
        png_set_text(png, info, &text, 1);
    }
    png_set_IHDR(png, info, image.Width(), image.Height(), layout.bitDepth, layout.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    ApplyPngCompression(png, layout.compression);
    if (layout.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[256] = {};
        const int entries = 1 << layout.bitDepth;
        for (int i = 0; i < entries; ++i) {
            const RGBQUAD& entry = image.Palette()[i];
            palette[i] = png_color{entry.rgbRed, entry.rgbGreen, entry.rgbBlue};
        }
        png_set_PLTE(png, info, palette, entries);
        if (layout.transCount > 0)
            png_set_tRNS(png, info, layout.trans, layout.transCount, nullptr);
    }
    png_write_info(png, info);
    if (layout.imageData != nullptr) {
        WritePreparedImageData(png, layout);
        return PngPhase::Done;
    }
    if (layout.rows != PngRowSource::Stored)
        png_set_bgr(png);

    const std::uint32_t height = image.Height();
    for (std::uint32_t y = 0; y < height; ++y) {
        if (codecInfo.ProgressAsksToStop(static_cast<int>(std::uint64_t{y} * 100 / height)))
            return PngPhase::Stopped;
        const std::uint8_t* row = image.Row(y);
        if (layout.rows == PngRowSource::Colour24)
            row = image.RowTo24(row);
        else if (layout.rows == PngRowSource::Colour32)
            row = image.RowTo32(row);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return PngPhase::Done;
}

}  // namespace

void CPngWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    Write(stream, image, m_withAlpha);
}

void CPngWriter::Write(CDataStream& stream, const CGraphicsImage& image, bool withAlpha)
{
    PngIoState state;
    state.stream = &stream;
    Info().ReportProgress(0);
    if (image.IsEmpty())
        throw EGraphicsException(GraphicsText::InvalidImage);

    CPngWriteStructs structs(state);
    PngWriteLayout layout = LayoutFor(image, withAlpha, Info());
    layout.compression = m_compression ? *m_compression : ChoosePngCompression(image, withAlpha);
    std::vector<std::uint8_t> imageData;
    const unsigned threads = layout.compression.threads != 0 ? layout.compression.threads : PngDeflateThreads(image);
    if (layout.rows != PngRowSource::Stored && threads > 1) {
        const PngStopQuery askStop = [this](int percent) { return Info().ProgressAsksToStop(percent); };
        switch (DeflatePngRows(image, layout.rows == PngRowSource::Colour32, layout.compression, threads, askStop,
                               imageData)) {
        case PngDeflateResult::Stopped:
            throw EGraphicsAbort();
        case PngDeflateResult::Failed:
            throw EGraphicsMemory();
        case PngDeflateResult::Done:
            break;
        }
        layout.imageData = imageData.data();
        layout.imageDataSize = imageData.size();
    }
    switch (WritePng(structs.png(), structs.info(), image, layout, Info())) {
    case PngPhase::Failed:
        throw EGraphicsException(state.message);
    case PngPhase::Stopped:
        throw EGraphicsAbort();
    case PngPhase::Done:
        break;
    }
    Info().ReportProgress(100);
}

void CPngWriter::Write(std::string_view fileName, const CGraphicsImage& image, bool withAlpha)
{
    m_withAlpha = withAlpha;
    CGraphicsWriter::Write(fileName, image);
}

void CPngWriter::Write(std::wstring_view fileName, const CGraphicsImage& image, bool withAlpha)
{
    m_withAlpha = withAlpha;
    CGraphicsWriter::Write(fileName, image);
}
