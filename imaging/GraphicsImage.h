#pragma once
// The imaging library's picture object. Its pixels are laid out like a device-independent bitmap:
// rows bottom-up in memory with strides that are multiples of 4, and a bitmap header with a
// 256-entry palette beside them. Nine formats (1, 2, 4, 8, 12, 15, 16, 24 and 32 bits per pixel)
// are reached through one table of per-format functions, so drawing, scaling and the codecs work
// on any pair of formats.
//
// Colours are 32-bit values 0xAARRGGBB (B, G, R, A in memory). The top byte of a palette entry
// serves as that entry's alpha.

#include "imaging/BitmapInfo.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

class CGraphicsImage;

// The functions one pixel format brings along. Row converters write into the image's scratch row
// and return it; where a row already has the asked-for layout, the plain converter returns the
// source row itself, and only the copying variant copies it.
struct GraphicsFormatFunctions
{
    using RowFunction = const std::uint8_t* (*)(const CGraphicsImage& image, const std::uint8_t* row);
    using CopyRowFunction = std::uint8_t* (*)(const CGraphicsImage& image, const std::uint8_t* row);
    using GetPixelFunction = std::uint32_t (*)(const CGraphicsImage& image, std::uint32_t x, std::uint32_t y);
    using SetPixelFunction = void (*)(CGraphicsImage& image, std::uint32_t x, std::uint32_t y,
                                      std::uint32_t value);
    using ColorToPixelFunction = std::uint32_t (*)(std::uint32_t colour);
    using GetRowPixelFunction = std::uint32_t (*)(const std::uint8_t* row, std::uint32_t x);
    using SetRowPixelFunction = void (*)(std::uint8_t* row, std::uint32_t x, std::uint32_t value);

    RowFunction rowTo8;
    RowFunction rowTo24;
    RowFunction rowTo32;
    CopyRowFunction rowTo8Copy;
    CopyRowFunction rowTo24Copy;
    CopyRowFunction rowTo32Copy;
    GetPixelFunction getPixel;
    SetPixelFunction setPixel;
    ColorToPixelFunction colorToPixel;
    // The same pixel access on a row pointer, for loops that walk a row.
    GetRowPixelFunction getRowPixel;
    SetRowPixelFunction setRowPixel;
};

class CGraphicsImage
{
public:
    // Fill value of Create that leaves the new pixels as they are.
    static constexpr std::uint32_t NoFill = 0xBCDE7AF9u;
    // A y of DrawText that only measures.
    static constexpr int MeasureOnly = static_cast<int>(0xBCDEFFFFu);
    // Requested text spacing meaning "none asked for": the font's own spacing applies.
    static constexpr std::int32_t NoSpacing = static_cast<std::int32_t>(0xBCDEEEEEu);
    static constexpr std::uint32_t MaxDimension = 32768;

    // Error codes a failed Create leaves (ThrowCreateError turns them into exceptions).
    static constexpr std::uint8_t CreateTooBig = 1;
    static constexpr std::uint8_t CreateWrongFormat = 2;
    static constexpr std::uint8_t CreateNoMemory = 3;

    // Draw mode word: bits 0-23 hold the key colour (or index), the rest select the tests.
    static constexpr std::uint32_t DrawSkipSourceKey = 0x01000000u;
    static constexpr std::uint32_t DrawSkipSourceBit30 = 0x08000000u;
    static constexpr std::uint32_t DrawKeepTargetKey = 0x10000000u;
    static constexpr std::uint32_t DrawKeepTargetBit30 = 0x80000000u;

    // Resample flags.
    static constexpr std::uint32_t ResampleSmooth = 1;
    static constexpr std::uint32_t ResampleForce32 = 2;

    // Text alignment values.
    static constexpr std::uint8_t AlignLeft = 0;
    static constexpr std::uint8_t AlignCenter = 1;
    static constexpr std::uint8_t AlignRight = 2;
    static constexpr std::uint8_t AlignTop = 0;
    static constexpr std::uint8_t AlignMiddle = 1;
    static constexpr std::uint8_t AlignBottom = 2;
    static constexpr std::uint8_t AlignBaseline = 3;

    // Called by long operations; setting stop ends the operation with EGraphicsAbort.
    using ProgressCallback = void (*)(const CGraphicsImage& image, void* userData, int step,
                                      int stepCount, int percent, bool& stop);
    // Paints one text pixel at (x, y), picture coordinates; must clip against the image itself.
    using TextPlotFunction = void (*)(CGraphicsImage& image, int x, int y, std::uint32_t colour);

    CGraphicsImage();
    virtual ~CGraphicsImage();
    CGraphicsImage(const CGraphicsImage&) = delete;
    CGraphicsImage& operator=(const CGraphicsImage&) = delete;
    // Moving exchanges with a fresh empty image.
    CGraphicsImage(CGraphicsImage&& other);
    CGraphicsImage& operator=(CGraphicsImage&& other);

    // ---- lifetime, creation, copying --------------------------------------------------------
    // Frees the pixels and resets format, size, header and function table. The text state and the
    // progress callback stay.
    void Clear();
    // pixels: null (or DibSectionPixels) = the image allocates and owns its memory; any other
    // pointer = the image uses that memory (at least Stride() * height bytes, 4-byte aligned)
    // without owning it. Never throws; a failure leaves ErrorCode() set and the image empty.
    bool Create(int bpp, std::uint32_t width, std::uint32_t height, std::uint32_t fill = 0,
                void* pixels = nullptr);
    // Create, throwing the exception of the error code on failure.
    void CreateOrThrow(int bpp, std::uint32_t width, std::uint32_t height, std::uint32_t fill = 0,
                       void* pixels = nullptr);
    // The pixels value that asks for a device-independent section; here it is own memory.
    static void* const DibSectionPixels;
    // Becomes a copy of src in own memory (format, size, header, palette, pixels, progress
    // callback). The text state stays. False when src has no format or the memory cannot be had.
    bool CopyFrom(const CGraphicsImage& src);
    // Exchanges everything, text state and progress callback included.
    bool Swap(CGraphicsImage& other);
    // Loads a bitmap resource (the star pictures) from the program's embedded resources.
    bool LoadFromResource(int resourceId);

    // ---- geometry and format --------------------------------------------------------------
    std::uint32_t Width() const { return m_width; }
    std::uint32_t Height() const { return m_height; }
    int Bpp() const { return m_bpp; }
    std::uint32_t Stride() const { return m_stride; }
    std::size_t ImageSize() const { return m_imageSize; }
    bool HasPixels() const { return m_data != nullptr; }
    bool IsEmpty() const { return m_data == nullptr || m_width == 0 || m_height == 0; }
    bool IsExternal() const { return m_external; }
    bool IsTrueColor() const { return m_trueColor; }
    // 1 for up to 8 bpp, 3 for 12, 2 for 15 and 16, 3 for 24, 4 for 32.
    int BytesPerPixel() const { return m_bytesPerPixel; }
    // Pixel-within-byte mask: 7, 3, 1 for 1, 2, 4 bpp, 1 for 12 bpp, else 0.
    std::uint32_t PixelMask() const { return m_pixelMask; }
    // 3, 2, 1 for 1, 2, 4 bpp, 1 for 12 bpp, else 0.
    int PixelShift() const { return m_pixelShift; }
    std::uint32_t ValueMask() const { return m_valueMask; }
    std::uint32_t TopBit() const { return m_topBit; }
    // The colour bits a pixel keeps: 0xF0F0F0 for 12, 0xF8F8F8 for 15, 0xF8FCF8 for 16 bpp.
    std::uint32_t SignificantMask() const { return m_significantMask; }
    std::uint8_t ErrorCode() const { return m_errorCode; }

    // ---- pixel memory ----------------------------------------------------------------------
    // The lowest address of the pixels: the bottom picture row.
    std::uint8_t* Data() { return m_data; }
    const std::uint8_t* Data() const { return m_data; }
    // Picture row y (0 = top) lies at the top-row pointer minus y strides.
    std::uint8_t* Row(std::uint32_t y) { return m_topRow - std::ptrdiff_t(y) * std::ptrdiff_t(m_stride); }
    const std::uint8_t* Row(std::uint32_t y) const
    {
        return m_topRow - std::ptrdiff_t(y) * std::ptrdiff_t(m_stride);
    }
    // The row converters' output buffer: at least max(Stride(), 4 * Width()) + 8 bytes.
    std::uint8_t* ScratchRow() const { return m_scratch; }

    // ---- bitmap header and palette ---------------------------------------------------------
    const GraphicsBitmapInfo& BitmapInfo() const { return *m_info; }
    const BITMAPINFOHEADER& InfoHeader() const { return m_info->header; }
    RGBQUAD* Palette() { return m_info->colors; }
    const RGBQUAD* Palette() const { return m_info->colors; }
    int PaletteCount() const { return m_paletteCount; }
    std::uint32_t PaletteColor(unsigned index) const;
    void SetPaletteColor(unsigned index, std::uint32_t colour);
    void SetPaletteRGB(unsigned index, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    void SetPaletteRGBA(unsigned index, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    std::uint32_t GetPaletteRGB(unsigned index, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) const;

    // ---- the per-format function table -----------------------------------------------------
    const std::uint8_t* RowTo8(const std::uint8_t* row) const { return m_functions->rowTo8(*this, row); }
    const std::uint8_t* RowTo24(const std::uint8_t* row) const { return m_functions->rowTo24(*this, row); }
    const std::uint8_t* RowTo32(const std::uint8_t* row) const { return m_functions->rowTo32(*this, row); }
    std::uint8_t* RowTo8Copy(const std::uint8_t* row) const { return m_functions->rowTo8Copy(*this, row); }
    std::uint8_t* RowTo24Copy(const std::uint8_t* row) const { return m_functions->rowTo24Copy(*this, row); }
    std::uint8_t* RowTo32Copy(const std::uint8_t* row) const { return m_functions->rowTo32Copy(*this, row); }
    // Unchecked: x and y must lie inside the image.
    std::uint32_t GetPixelFn(std::uint32_t x, std::uint32_t y) const { return m_functions->getPixel(*this, x, y); }
    void SetPixelFn(std::uint32_t x, std::uint32_t y, std::uint32_t value) { m_functions->setPixel(*this, x, y, value); }
    std::uint32_t ColorToPixel(std::uint32_t colour) const { return m_functions->colorToPixel(colour); }
    std::uint32_t GetRowPixel(const std::uint8_t* row, std::uint32_t x) const
    {
        return m_functions->getRowPixel(row, x);
    }
    void SetRowPixel(std::uint8_t* row, std::uint32_t x, std::uint32_t value) const
    {
        m_functions->setRowPixel(row, x, value);
    }
    const GraphicsFormatFunctions& Functions() const { return *m_functions; }

    // Writes one pixel when (x, y) lies inside the image.
    void SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t value);

    // ---- alpha -------------------------------------------------------------------------------
    // True only for 32 bpp with at least one non-zero alpha byte.
    bool HasAlpha() const;
    // 0 all alpha 0, 1 all alpha equal and non-zero, 2 mixed or partial (palette alpha below 12 bpp).
    int GetAlphaKind() const;

    // ---- progress ----------------------------------------------------------------------------
    void SetProgressCallback(ProgressCallback callback, void* userData)
    {
        m_progress = callback;
        m_progressUserData = userData;
    }
    ProgressCallback GetProgressCallback() const { return m_progress; }
    void* GetProgressUserData() const { return m_progressUserData; }
    // Calls the callback (percent clamped to 100); throws EGraphicsAbort when it asks to stop.
    void ReportProgress(int percent, int step, int stepCount) const;

    // ---- drawing -----------------------------------------------------------------------------
    // A negative w or h extends the rectangle to the left or upwards. False when nothing is left
    // after clipping.
    bool FillRect(int x, int y, int w, int h, std::uint32_t value);
    // Copies src with its top-left corner at (x, y); mode as the Draw* constants.
    bool Draw(const CGraphicsImage& src, int x, int y, std::uint32_t mode = 0);
    // Blends a 32-bit src onto this image (at least 12 bpp) by the source alpha.
    bool DrawAlpha(const CGraphicsImage& src, int x, int y);
    // This image becomes src scaled to newWidth x newHeight (flags ResampleSmooth, ResampleForce32).
    bool Resample(const CGraphicsImage& src, std::uint32_t newWidth, std::uint32_t newHeight,
                  std::uint32_t flags = 0);

    // ---- colour quantization -----------------------------------------------------------------
    // This image becomes src as 8 bpp with at most 256 colours (median cut; indexed sources keep
    // their indices and palette). Progress goes to src's callback, which this image takes over,
    // in two steps: counting the colours, then mapping the pixels. False for an empty src (this
    // image is then an empty 8-bit one) and after a stop, which leaves the pixels incomplete.
    bool Quantize(const CGraphicsImage& src);

    // ---- bitmap-font text --------------------------------------------------------------------
    // The font data must outlive its use; an empty span, or a malformed font, leaves no font set.
    bool SetFont(std::span<const std::uint8_t> font);
    bool HasFont() const { return !m_text.font.empty(); }
    // which 0: foreground, 1: background. A null function as background means transparent.
    // Passing SoftBrush selects the soft brush that suits this image's format.
    void SetTextPlot(TextPlotFunction plot, std::uint32_t colour, int which);
    // Draws text at (x, y) and returns its width; y == MeasureOnly only measures.
    int DrawText(int x, int y, std::string_view text);
    int MeasureText(std::string_view text) { return DrawText(0, MeasureOnly, text); }

    // Alignment: horizontal 0 left, 1 centred, other right; vertical 0 top, 1 middle, 2 bottom,
    // 3 baseline. SetFont derives the vertical offset from the vertical alignment.
    void SetTextAlignment(std::uint8_t horizontal, std::uint8_t vertical)
    {
        m_text.alignH = horizontal;
        m_text.alignV = vertical;
    }
    std::uint8_t TextAlignH() const { return m_text.alignH; }
    std::uint8_t TextAlignV() const { return m_text.alignV; }
    void SetTextOffset(int offset) { m_text.offsetY = offset; }
    int TextOffset() const { return m_text.offsetY; }
    // Spacing between glyphs relative to the font's base (NoSpacing = the font's own).
    void SetTextSpacing(std::int32_t requested);
    std::int32_t TextSpacing() const { return m_text.spacing; }
    // Font metrics: m0 spacing, m1 spacing base, m2 baseline drop.
    int FontMetric(int index) const { return index >= 0 && index < 3 ? m_text.metrics[index] : 0; }

    // Text plotters. SoftBrush paints a weighted 3x3 neighbourhood; SetTextPlot replaces it by
    // SoftBrush32 on 32-bit images and by PlotIndex on indexed ones.
    static void SoftBrush(CGraphicsImage& image, int x, int y, std::uint32_t colour);
    static void SoftBrush32(CGraphicsImage& image, int x, int y, std::uint32_t colour);
    static void PlotIndex(CGraphicsImage& image, int x, int y, std::uint32_t colour);

private:
    struct TextState
    {
        std::span<const std::uint8_t> font;
        std::uint32_t headerSize = 0;
        std::uint32_t firstCode = 0;
        std::uint32_t lastCode = 0;
        std::uint8_t alignH = AlignLeft;
        std::uint8_t alignV = AlignTop;
        int offsetY = 0;
        int metrics[3] = {0, 1, 0};
        std::int32_t requestedSpacing = NoSpacing;
        std::int32_t spacing = 0;
        std::uint32_t foreground = 0;
        std::uint32_t background = 0;
        TextPlotFunction plotForeground = nullptr;
        TextPlotFunction plotBackground = nullptr;
    };

    void UpdateTextSpacing();
    bool ResampleInto(const CGraphicsImage& src, std::uint32_t newWidth, std::uint32_t newHeight,
                      std::uint32_t flags);

    TextState m_text;
    std::unique_ptr<GraphicsBitmapInfo> m_info;
    // Zeroed blocks from calloc: large ones come from the system already zeroed, so a big
    // image costs no time to create and its untouched pages no memory.
    struct FreeBlock
    {
        void operator()(std::uint8_t* block) const;
    };
    using PixelBlock = std::unique_ptr<std::uint8_t[], FreeBlock>;

    PixelBlock m_ownedBlock;
    // The scratch row of an image on external pixels.
    PixelBlock m_scratchBlock;
    std::uint8_t* m_data = nullptr;
    std::uint8_t* m_topRow = nullptr;
    std::uint8_t* m_scratch = nullptr;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::size_t m_imageSize = 0;
    int m_bpp = 0;
    std::uint32_t m_stride = 0;
    std::uint32_t m_pixelMask = 0;
    int m_bytesPerPixel = 0;
    std::uint32_t m_valueMask = 0;
    std::uint32_t m_topBit = 0;
    int m_pixelShift = 0;
    bool m_trueColor = false;
    int m_paletteCount = 0;
    std::uint32_t m_significantMask = 0;
    bool m_external = false;
    const GraphicsFormatFunctions* m_functions = nullptr;
    ProgressCallback m_progress = nullptr;
    void* m_progressUserData = nullptr;
    std::uint8_t m_errorCode = 0;
};
