#include "imaging/GraphicsImage.h"

#include "imaging/DefaultPalettes.h"
#include "imaging/GraphicsException.h"
#include "imaging/PixelFormats.h"

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <utility>

void* const CGraphicsImage::DibSectionPixels = reinterpret_cast<void*>(std::uintptr_t{1});

namespace {

struct FormatTraits
{
    std::uint32_t pixelMask;
    int bytesPerPixel;
    int pixelShift;
    std::uint32_t significantMask;
};

FormatTraits TraitsOf(int bpp)
{
    switch (bpp) {
    case 1: return {7, 1, 3, 0xFFFFFF};
    case 2: return {3, 1, 2, 0xFFFFFF};
    case 4: return {1, 1, 1, 0xFFFFFF};
    case 8: return {0, 1, 0, 0xFFFFFF};
    case 12: return {1, 3, 1, 0xF0F0F0};
    case 15: return {0, 2, 0, 0xF8F8F8};
    case 16: return {0, 2, 0, 0xF8FCF8};
    case 24: return {0, 3, 0, 0xFFFFFF};
    default: return {0, 4, 0, 0xFFFFFF};
    }
}

// Bytes per row before rounding up to a multiple of 4.
std::uint64_t RowBytes(int bpp, std::uint64_t width)
{
    switch (bpp) {
    case 1: return (width + 7) >> 3;
    case 2: return (2 * width + 7) >> 3;
    case 4: return (4 * width + 7) >> 3;
    case 8: return width;
    case 12: return (3 * width + 1) >> 1;
    case 15:
    case 16: return 2 * width;
    case 24: return 3 * width;
    default: return 4 * width;
    }
}

// Room for the widest converter output (4 bytes per pixel), for a copied row, and for the
// converters that store 4 bytes at every 3-byte step.
std::uint64_t ScratchBytes(std::uint64_t stride, std::uint64_t width)
{
    return std::max(stride, 4 * width) + 8;
}

}  // namespace

void CGraphicsImage::FreeBlock::operator()(std::uint8_t* block) const
{
    std::free(block);
}

CGraphicsImage::CGraphicsImage() : m_info(std::make_unique<GraphicsBitmapInfo>())
{
    Clear();
}

CGraphicsImage::~CGraphicsImage() = default;

CGraphicsImage::CGraphicsImage(CGraphicsImage&& other) : CGraphicsImage()
{
    Swap(other);
}

CGraphicsImage& CGraphicsImage::operator=(CGraphicsImage&& other)
{
    if (this != &other) {
        CGraphicsImage emptied;
        other.Swap(emptied);
        Swap(emptied);
    }
    return *this;
}

void CGraphicsImage::Clear()
{
    m_ownedBlock.reset();
    m_scratchBlock.reset();
    m_data = nullptr;
    m_topRow = nullptr;
    m_scratch = nullptr;
    m_functions = &InertFormatFunctions();
    m_width = 0;
    m_height = 0;
    m_imageSize = 0;
    m_bpp = 0;
    m_stride = 0;
    m_pixelMask = 0;
    m_bytesPerPixel = 0;
    m_valueMask = 0;
    m_topBit = 0;
    m_pixelShift = 0;
    m_trueColor = false;
    m_paletteCount = 0;
    m_significantMask = 0;
    m_external = false;
    m_errorCode = 0;
    *m_info = GraphicsBitmapInfo{};
}

bool CGraphicsImage::Create(int bpp, std::uint32_t width, std::uint32_t height, std::uint32_t fill,
                            void* pixels)
{
    Clear();
    if (width > MaxDimension || height > MaxDimension || std::uint64_t{width} * height > MaxPixels) {
        m_errorCode = CreateTooBig;
        return false;
    }
    const GraphicsFormatFunctions* functions = FormatFunctionsFor(bpp);
    if (functions == nullptr) {
        m_errorCode = CreateWrongFormat;
        return false;
    }

    // 32768 x 32768 at 4 bytes is 4 GiB: sizes are computed in 64 bits.
    const std::uint64_t stride = (RowBytes(bpp, width) + 3) & ~std::uint64_t{3};
    const std::uint64_t imageSize = stride * height;
    const std::uint64_t scratchSize = ScratchBytes(stride, width);

    const bool ownMemory = pixels == nullptr || pixels == DibSectionPixels;
    if (ownMemory) {
        // The pixels, one spare row, then the scratch row, all in one block.
        const std::uint64_t blockSize = imageSize + stride + scratchSize;
        if (blockSize > std::uint64_t(SIZE_MAX)) {
            m_errorCode = CreateNoMemory;
            return false;
        }
        m_ownedBlock.reset(static_cast<std::uint8_t*>(std::calloc(std::size_t(blockSize), 1)));
        if (!m_ownedBlock) {
            Clear();
            m_errorCode = CreateNoMemory;
            return false;
        }
        m_data = m_ownedBlock.get();
        m_scratch = m_data + imageSize + stride;
    } else {
        m_scratchBlock.reset(static_cast<std::uint8_t*>(std::calloc(std::size_t(scratchSize), 1)));
        if (!m_scratchBlock) {
            Clear();
            m_errorCode = CreateNoMemory;
            return false;
        }
        m_data = static_cast<std::uint8_t*>(pixels);
        m_scratch = m_scratchBlock.get();
        m_external = true;
    }

    const FormatTraits traits = TraitsOf(bpp);
    m_functions = functions;
    m_width = width;
    m_height = height;
    m_bpp = bpp;
    m_stride = std::uint32_t(stride);
    m_imageSize = std::size_t(imageSize);
    m_pixelMask = traits.pixelMask;
    m_bytesPerPixel = traits.bytesPerPixel;
    m_pixelShift = traits.pixelShift;
    m_significantMask = traits.significantMask;
    m_valueMask = 0xFFFFFFFFu >> (32 - bpp);
    m_topBit = 1u << (bpp - 1);
    m_trueColor = bpp >= 12;
    m_paletteCount = bpp < 12 ? std::min(1 << bpp, 256) : 0;
    m_topRow = height > 0 ? m_data + std::size_t(height - 1) * std::size_t(stride) : m_data;

    SetDefaultPalette(m_info->colors, bpp);
    BITMAPINFOHEADER& header = m_info->header;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = std::int32_t(width);
    header.biHeight = std::int32_t(height);
    header.biPlanes = 1;
    header.biBitCount = std::uint16_t(bpp == 15 ? 16 : bpp);
    header.biCompression = BI_RGB;
    header.biSizeImage = std::uint32_t(imageSize);
    header.biXPelsPerMeter = 4705;
    header.biYPelsPerMeter = 4705;
    header.biClrUsed = std::uint32_t(m_paletteCount);
    header.biClrImportant = std::uint32_t(m_paletteCount);
    if (header.biBitCount == 16) {
        header.biCompression = BI_BITFIELDS;
        const std::uint32_t masks[4] = {bpp == 15 ? 0x7C00u : 0xF800u, bpp == 15 ? 0x03E0u : 0x07E0u,
                                        0x001Fu, 0};
        std::memcpy(m_info->colors, masks, sizeof masks);
    }

    if (fill == NoFill) {
        // The pixels stay as they are.
    } else if (fill != 0 && bpp != 8) {
        FillRect(0, 0, int(width), int(height), fill);
    } else if (m_external || fill != 0) {
        std::memset(m_data, int(fill & 0xFF), m_imageSize);
    }
    return true;
}

void CGraphicsImage::CreateOrThrow(int bpp, std::uint32_t width, std::uint32_t height, std::uint32_t fill,
                                   void* pixels)
{
    if (!Create(bpp, width, height, fill, pixels))
        ThrowCreateError(m_errorCode);
}

bool CGraphicsImage::CopyFrom(const CGraphicsImage& src)
{
    if (&src == this)
        return HasPixels();
    Clear();
    m_progress = src.m_progress;
    m_progressUserData = src.m_progressUserData;
    if (!Create(src.m_bpp, src.m_width, src.m_height, NoFill))
        return false;
    *m_info = *src.m_info;
    if (m_imageSize > 0)
        std::memcpy(m_data, src.m_data, m_imageSize);
    return true;
}

bool CGraphicsImage::Swap(CGraphicsImage& other)
{
    using std::swap;
    swap(m_text, other.m_text);
    swap(m_info, other.m_info);
    swap(m_ownedBlock, other.m_ownedBlock);
    swap(m_scratchBlock, other.m_scratchBlock);
    swap(m_data, other.m_data);
    swap(m_topRow, other.m_topRow);
    swap(m_scratch, other.m_scratch);
    swap(m_width, other.m_width);
    swap(m_height, other.m_height);
    swap(m_imageSize, other.m_imageSize);
    swap(m_bpp, other.m_bpp);
    swap(m_stride, other.m_stride);
    swap(m_pixelMask, other.m_pixelMask);
    swap(m_bytesPerPixel, other.m_bytesPerPixel);
    swap(m_valueMask, other.m_valueMask);
    swap(m_topBit, other.m_topBit);
    swap(m_pixelShift, other.m_pixelShift);
    swap(m_trueColor, other.m_trueColor);
    swap(m_paletteCount, other.m_paletteCount);
    swap(m_significantMask, other.m_significantMask);
    swap(m_external, other.m_external);
    swap(m_functions, other.m_functions);
    swap(m_progress, other.m_progress);
    swap(m_progressUserData, other.m_progressUserData);
    swap(m_errorCode, other.m_errorCode);
    return true;
}

std::uint32_t CGraphicsImage::PaletteColor(unsigned index) const
{
    const RGBQUAD& entry = m_info->colors[index & 255];
    return std::uint32_t(entry.rgbBlue) | std::uint32_t(entry.rgbGreen) << 8 |
           std::uint32_t(entry.rgbRed) << 16 | std::uint32_t(entry.rgbReserved) << 24;
}

void CGraphicsImage::SetPaletteColor(unsigned index, std::uint32_t colour)
{
    RGBQUAD& entry = m_info->colors[index & 255];
    entry.rgbBlue = std::uint8_t(colour);
    entry.rgbGreen = std::uint8_t(colour >> 8);
    entry.rgbRed = std::uint8_t(colour >> 16);
    entry.rgbReserved = std::uint8_t(colour >> 24);
}

void CGraphicsImage::SetPaletteRGB(unsigned index, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    RGBQUAD& entry = m_info->colors[index & 255];
    entry.rgbRed = r;
    entry.rgbGreen = g;
    entry.rgbBlue = b;
}

void CGraphicsImage::SetPaletteRGBA(unsigned index, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                    std::uint8_t a)
{
    m_info->colors[index & 255] = RGBQUAD{b, g, r, a};
}

std::uint32_t CGraphicsImage::GetPaletteRGB(unsigned index, std::uint8_t& r, std::uint8_t& g,
                                            std::uint8_t& b) const
{
    const RGBQUAD& entry = m_info->colors[index & 255];
    r = entry.rgbRed;
    g = entry.rgbGreen;
    b = entry.rgbBlue;
    return PaletteColor(index);
}

void CGraphicsImage::SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t value)
{
    if (x < m_width && y < m_height)
        SetPixelFn(x, y, value);
}

bool CGraphicsImage::HasAlpha() const
{
    if (m_bpp != 32 || m_data == nullptr)
        return false;
    for (std::uint32_t y = 0; y < m_height; ++y) {
        const std::uint8_t* row = Row(y);
        for (std::uint32_t x = 0; x < m_width; ++x)
            if (row[4 * x + 3] != 0)
                return true;
    }
    return false;
}

int CGraphicsImage::GetAlphaKind() const
{
    // Every value equal to the last one decides between 0 and 1; anything else is kind 2.
    bool any = false;
    bool mixed = false;
    std::uint8_t last = 0;
    auto visit = [&](std::uint8_t alpha) {
        if (any && alpha != last)
            mixed = true;
        last = alpha;
        any = true;
    };
    if (m_bpp == 32 && m_data != nullptr) {
        for (std::uint32_t y = 0; y < m_height && !mixed; ++y) {
            const std::uint8_t* row = Row(y);
            for (std::uint32_t x = 0; x < m_width; ++x)
                visit(row[4 * x + 3]);
        }
    } else if (m_bpp >= 1 && m_bpp <= 8) {
        for (int i = 0; i < m_paletteCount; ++i)
            visit(m_info->colors[i].rgbReserved);
    } else {
        return 0;
    }
    if (mixed || (last > 0 && last < 255))
        return 2;
    return last != 0 ? 1 : 0;
}

void CGraphicsImage::ReportProgress(int percent, int step, int stepCount) const
{
    if (m_progress == nullptr)
        return;
    bool stop = false;
    m_progress(*this, m_progressUserData, step, stepCount, std::min(percent, 100), stop);
    if (stop)
        throw EGraphicsAbort();
}
