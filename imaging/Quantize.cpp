// CGraphicsImage::Quantize: any picture to an 8-bit indexed one of at most 256 colours.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/QuantizeBoxes.h"

#include <cstring>

namespace {

constexpr int CountingStep = 1;
constexpr int MappingStep = 2;
constexpr int StepCount = 2;

std::uint32_t ColourAt(const std::uint8_t* bgr)
{
    return std::uint32_t{bgr[0]} | std::uint32_t{bgr[1]} << 8 | std::uint32_t{bgr[2]} << 16;
}

int Percent(std::uint32_t row, std::uint32_t height)
{
    return static_cast<int>(std::uint64_t{row} * 100 / height);
}

void CountColours(const CGraphicsImage& src, const CGraphicsImage& progress, quantize::ColourHistogram& histogram)
{
    const std::uint32_t width = src.Width();
    const std::uint32_t height = src.Height();
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = src.RowTo24(src.Row(y));
        for (std::uint32_t x = 0; x < width; ++x, row += 3)
            histogram.Add(ColourAt(row));
        progress.ReportProgress(Percent(y, height), CountingStep, StepCount);
    }
    progress.ReportProgress(100, CountingStep, StepCount);
}

void MapPixels(const CGraphicsImage& src, CGraphicsImage& target, const quantize::ColourHistogram& boxOfColour)
{
    const std::uint32_t width = src.Width();
    const std::uint32_t height = src.Height();
    std::uint32_t lastColour = 0xFFFFFFFFu;
    std::uint8_t lastIndex = 0;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = src.RowTo24(src.Row(y));
        std::uint8_t* out = target.Row(y);
        for (std::uint32_t x = 0; x < width; ++x, in += 3) {
            const std::uint32_t colour = ColourAt(in);
            if (colour != lastColour) {
                lastColour = colour;
                lastIndex = static_cast<std::uint8_t>(boxOfColour.ValueOf(colour));
            }
            out[x] = lastIndex;
        }
        target.ReportProgress(Percent(y, height), MappingStep, StepCount);
    }
    target.ReportProgress(100, MappingStep, StepCount);
}

}  // namespace

bool CGraphicsImage::Quantize(const CGraphicsImage& src)
{
    if (&src == this) {
        CGraphicsImage copy;
        return copy.CopyFrom(src) && Quantize(copy);
    }
    if (src.IsEmpty()) {
        Create(8, 0, 0, 0, nullptr);
        return false;
    }
    if (src.Bpp() < 8) {
        if (!Create(8, src.Width(), src.Height(), NoFill))
            return false;
        std::memcpy(Palette(), src.Palette(), 256 * sizeof(RGBQUAD));
        return Draw(src, 0, 0, 0);
    }
    if (src.Bpp() == 8)
        return CopyFrom(src);

    SetProgressCallback(src.GetProgressCallback(), src.GetProgressUserData());
    if (!Create(8, src.Width(), src.Height(), NoFill))
        return false;

    quantize::ColourHistogram histogram;
    try {
        CountColours(src, *this, histogram);
    } catch (...) {
        return false;
    }

    std::vector<quantize::ColourCount>& colours = histogram.Colours();
    quantize::MedianCut cut(colours, src.Width() * src.Height());
    cut.Run();
    const auto boxes = cut.Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        SetPaletteColor(static_cast<unsigned>(i), cut.MeanColour(boxes[i]));
        for (const quantize::ColourCount& entry : cut.ColoursOf(boxes[i]))
            histogram.SetValue(entry.colour, static_cast<std::uint32_t>(i));
    }

    try {
        MapPixels(src, *this, histogram);
    } catch (...) {
        return false;
    }
    return true;
}
