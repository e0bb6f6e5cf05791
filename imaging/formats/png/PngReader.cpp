#include "imaging/formats/png/PngReader.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/png/PngIo.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>

namespace {

constexpr char kCommentKey[] = "Comment";

// zlib's deflate cannot shrink data by more than about 1032 to 1, so a file with fewer compressed
// bytes than that cannot hold the picture it claims; it is refused before the pixels are allocated.
constexpr std::uint64_t kDeflateMaxRatio = 1032;
constexpr std::uint64_t kDeflateSlack = 4096;

// What the header says, copied out of libpng's structures. Plain data: it lives in functions that
// call setjmp.
struct PngHeader
{
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int pixelDepth = 0;  // bits per pixel in the file
    bool hasPalette = false;
    int paletteSize = 0;
    png_color palette[256] = {};
    int transCount = 0;  // palette alpha entries; 0 without a table or above 8 bits per pixel
    png_byte trans[256] = {};
    bool colourKey = false;  // a grey or RGB file whose tRNS chunk names its transparent colour
};

// The library format a file becomes and the libpng transformations that produce it.
struct PngLayout
{
    int bpp = 0;
    int greyRampDepth = 0;  // 0: no grey palette
    bool scale16 = false;
    bool greyToColor = false;
    bool keyToAlpha = false;
    bool bgr = false;
};

PngLayout LayoutFor(const PngHeader& header)
{
    PngLayout layout;
    layout.bgr = (header.colorType & PNG_COLOR_MASK_COLOR) != 0;
    // Every depth of 16 bits per sample is rounded to 8 bits.
    layout.scale16 = header.bitDepth == 16;
    switch (header.colorType) {
    case PNG_COLOR_TYPE_PALETTE:
        layout.bpp = header.bitDepth;
        break;
    case PNG_COLOR_TYPE_GRAY:
        if (header.colourKey) {
            // The key colour becomes alpha 0, everything else opaque: only B, G, R, A holds that.
            layout.greyToColor = true;
            layout.keyToAlpha = true;
            layout.bgr = true;
            layout.bpp = 32;
            break;
        }
        // Grey of up to 8 bits stays indexed.
        layout.bpp = std::min(header.bitDepth, 8);
        layout.greyRampDepth = layout.bpp;
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        // No library format holds grey with alpha; it becomes B, G, R, A.
        layout.greyToColor = true;
        layout.bgr = true;
        layout.bpp = 32;
        break;
    case PNG_COLOR_TYPE_RGB:
        layout.keyToAlpha = header.colourKey;
        layout.bpp = header.colourKey ? 32 : 24;
        break;
    default:
        layout.bpp = 32;
        break;
    }
    return layout;
}

PngPhase ReadHeader(png_structp png, png_infop info, PngHeader& header)
{
    if (setjmp(png_jmpbuf(png)))
        return PngPhase::Failed;
    png_read_info(png, info);
    png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType, nullptr,
                 nullptr, nullptr);
    header.pixelDepth = png_get_channels(png, info) * header.bitDepth;

    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (png_get_PLTE(png, info, &palette, &paletteSize) != 0 && palette != nullptr) {
        header.hasPalette = true;
        header.paletteSize = std::clamp(paletteSize, 0, 256);
        std::memcpy(header.palette, palette, sizeof(png_color) * static_cast<std::size_t>(header.paletteSize));
    }
    png_bytep trans = nullptr;
    int transCount = 0;
    if (header.pixelDepth <= 8 && png_get_tRNS(png, info, &trans, &transCount, nullptr) != 0 &&
        trans != nullptr) {
        header.transCount = std::clamp(transCount, 0, 256);
        std::memcpy(header.trans, trans, static_cast<std::size_t>(header.transCount));
    }
    header.colourKey = (header.colorType == PNG_COLOR_TYPE_GRAY || header.colorType == PNG_COLOR_TYPE_RGB) &&
                       png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    return PngPhase::Done;
}

PngPhase SetUpTransforms(png_structp png, png_infop info, const PngLayout& layout, int& passes,
                         std::size_t& rowBytes)
{
    if (setjmp(png_jmpbuf(png)))
        return PngPhase::Failed;
    if (layout.scale16)
        png_set_scale_16(png);
    if (layout.keyToAlpha)
        png_set_tRNS_to_alpha(png);
    if (layout.greyToColor)
        png_set_gray_to_rgb(png);
    if (layout.bgr)
        png_set_bgr(png);
    passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    rowBytes = png_get_rowbytes(png, info);
    return PngPhase::Done;
}

int RowPercent(int pass, int passes, std::uint32_t y, std::uint32_t height)
{
    const std::uint64_t done = std::uint64_t(pass) * height + y;
    return static_cast<int>(done * 100 / (std::uint64_t(passes) * height));
}

// Interlaced files come in several passes; each pass fills its own pixels of the rows.
PngPhase ReadRows(png_structp png, CGraphicsImage& image, int passes, const CGraphicsCodecInfo& info)
{
    if (setjmp(png_jmpbuf(png)))
        return PngPhase::Failed;
    const std::uint32_t height = image.Height();
    for (int pass = 0; pass < passes; ++pass) {
        for (std::uint32_t y = 0; y < height; ++y) {
            if (info.ProgressAsksToStop(RowPercent(pass, passes, y, height)))
                return PngPhase::Stopped;
            png_read_row(png, image.Row(y), nullptr);
        }
    }
    return PngPhase::Done;
}

void ThrowFor(PngPhase phase, const PngIoState& state)
{
    if (phase == PngPhase::Stopped)
        throw EGraphicsAbort();
    if (phase == PngPhase::Failed)
        throw EGraphicsException(state.message);
}

// The last "Comment" chunk after the first one, else the first chunk whatever its key.
void TakeComment(png_structp png, png_infop info, CGraphicsCodecInfo& codecInfo)
{
    png_textp texts = nullptr;
    int count = 0;
    png_get_text(png, info, &texts, &count);
    if (texts == nullptr || count <= 0)
        return;
    const png_text* chosen = &texts[0];
    for (int i = count - 1; i >= 1; --i) {
        if (texts[i].key != nullptr && std::strcmp(texts[i].key, kCommentKey) == 0) {
            chosen = &texts[i];
            break;
        }
    }
    codecInfo.SetComment(chosen->text != nullptr ? std::string_view(chosen->text) : std::string_view());
}

void SetGreyRamp(CGraphicsImage& image, int depth)
{
    const unsigned levels = 1u << depth;
    for (unsigned i = 0; i < levels; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (levels - 1));
        image.SetPaletteRGB(i, grey, grey, grey);
    }
}

void ConvertToPaletteColours32(CGraphicsImage& image)
{
    CGraphicsImage converted;
    converted.CreateOrThrow(32, image.Width(), image.Height(), CGraphicsImage::NoFill);
    const std::uint32_t width = image.Width();
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        const std::uint8_t* indices = image.RowTo8(image.Row(y));
        std::uint8_t* target = converted.Row(y);
        for (std::uint32_t x = 0; x < width; ++x)
            std::memcpy(target + 4 * x, &image.Palette()[indices[x]], 4);
    }
    image.Swap(converted);
}

// Palette alpha: kept in the palette while every pixel's entry agrees, else the picture becomes
// 32 bits with the alpha of each pixel's entry. Returns true for the 32-bit case.
bool ApplyPaletteTransparency(CGraphicsImage& image, const PngHeader& header)
{
    const int paletteSize = header.paletteSize;
    int transCount = header.transCount;
    std::uint32_t first = image.PaletteColor(0) & 0x00FFFFFFu;
    int matching = 0;

    const int opaqueCount =
        static_cast<int>(std::count(header.trans, header.trans + transCount, png_byte{255}));
    if (transCount > 0 && opaqueCount < transCount) {
        std::array<bool, 256> used{};
        std::uint64_t needingAlpha = 0;
        for (std::uint32_t y = 0; y < image.Height(); ++y) {
            const std::uint8_t* indices = image.RowTo8(image.Row(y));
            for (std::uint32_t x = 0; x < image.Width(); ++x) {
                const std::uint8_t index = indices[x];
                used[index] = true;
                if (index >= transCount || header.trans[index] != 255)
                    ++needingAlpha;
            }
        }
        if (needingAlpha == 0)
            transCount = 0;
        else
            first |= std::uint32_t{header.trans[0]} << 24;

        for (int i = 0; i < paletteSize; ++i) {
            if (!used[static_cast<std::size_t>(i)]) {
                ++matching;
                continue;
            }
            const std::uint8_t alpha = transCount == 0 ? 0 : (i < transCount ? header.trans[i] : 255);
            const std::uint32_t entry = (image.PaletteColor(static_cast<unsigned>(i)) & 0x00FFFFFFu) |
                                        std::uint32_t{alpha} << 24;
            image.SetPaletteColor(static_cast<unsigned>(i), entry);
            if (entry == first)
                ++matching;
        }
        if (transCount != 0 && matching < paletteSize) {
            ConvertToPaletteColours32(image);
            return true;
        }
    } else {
        for (int i = 0; i < paletteSize; ++i)
            if (image.PaletteColor(static_cast<unsigned>(i)) == image.PaletteColor(0))
                ++matching;
    }

    // One colour throughout: the picture is a mask whose meaning lies in its alpha.
    if (matching > 1 && matching == paletteSize) {
        int equalToFirst = 0;
        for (int i = 0; i < transCount; ++i) {
            const auto grey = static_cast<std::uint8_t>(255 - header.trans[i]);
            image.SetPaletteRGB(static_cast<unsigned>(i), grey, grey, grey);
            if (image.PaletteColor(static_cast<unsigned>(i)) == image.PaletteColor(0))
                ++equalToFirst;
        }
        if (transCount <= 1 || equalToFirst == transCount) {
            if (image.Bpp() == 8 || image.Bpp() == 4 || image.Bpp() == 1)
                SetGreyRamp(image, image.Bpp());
        }
    }
    return false;
}

}  // namespace

void CPngReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    m_colorType = 0;
    PngIoState state;
    state.stream = &stream;
    CPngReadStructs structs(state);
    png_structp png = structs.png();
    png_infop info = structs.info();
    Info().ReportProgress(0);

    PngHeader header;
    ThrowFor(ReadHeader(png, info, header), state);
    m_colorType = static_cast<std::uint32_t>(header.colorType);
    TakeComment(png, info, Info());

    if (header.width == 0 || header.height == 0)
        throw EGraphicsException(GraphicsText::FormatNotSupported);
    const PngLayout layout = LayoutFor(header);
    if (header.width > CGraphicsImage::MaxDimension ||
        header.height > CGraphicsImage::MaxDimension)
        image.CreateOrThrow(layout.bpp, header.width, header.height, CGraphicsImage::NoFill);  // refused
    const std::int64_t remaining = std::int64_t{stream.Size()} - stream.Tell();
    const std::uint64_t pixelBytes = (std::uint64_t{header.width} * header.pixelDepth + 7) / 8 * header.height;
    if (remaining >= 0 && pixelBytes > (std::uint64_t(remaining) + kDeflateSlack) * kDeflateMaxRatio)
        throw EGraphicsException(GraphicsText::ReadFailed);
    image.CreateOrThrow(layout.bpp, header.width, header.height, CGraphicsImage::NoFill);

    const bool paletteFile = (m_colorType & ColorTypePalette) != 0 && header.hasPalette;
    if (paletteFile)
        for (int i = 0; i < header.paletteSize; ++i)
            image.SetPaletteRGB(static_cast<unsigned>(i), header.palette[i].red, header.palette[i].green,
                                header.palette[i].blue);
    if (layout.greyRampDepth != 0)
        SetGreyRamp(image, layout.greyRampDepth);

    int passes = 1;
    std::size_t rowBytes = 0;
    ThrowFor(SetUpTransforms(png, info, layout, passes, rowBytes), state);
    if (rowBytes > image.Stride())
        throw EGraphicsException(GraphicsText::InternalError);
    ThrowFor(ReadRows(png, image, passes, Info()), state);

    if ((paletteFile && ApplyPaletteTransparency(image, header)) || layout.keyToAlpha)
        m_colorType |= ColorTypeAlpha;
    Info().ReportProgress(100);
}
