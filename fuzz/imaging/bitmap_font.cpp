// Any bytes as a bitmap font: selection, measuring and drawing must stay inside the image, and
// measuring must agree with drawing and leave every pixel alone.

#include "imaging/GraphicsImage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr int formats[] = {1, 2, 4, 8, 12, 15, 16, 24, 32};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void MeasureAndDraw(CGraphicsImage& image, int x, int y, const std::string& text)
{
    const std::vector<std::uint8_t> before(image.Data(), image.Data() + image.ImageSize());
    const int measured = image.MeasureText(text);
    Check(std::memcmp(before.data(), image.Data(), before.size()) == 0);
    Check(image.DrawText(x, y, text) == measured);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> font(data, size);
    // The last byte picks the format and the text settings; it is part of the font as well.
    const std::uint8_t selector = size > 0 ? data[size - 1] : 0;

    CGraphicsImage image;
    Check(image.Create(formats[selector % 9], 37, 23, 0xFF204060));
    image.SetTextAlignment(std::uint8_t((selector >> 4) & 3), std::uint8_t(selector >> 6));
    image.SetTextSpacing((selector & 8) != 0 ? CGraphicsImage::NoSpacing : int(selector) - 128);
    image.SetTextPlot(&CGraphicsImage::SoftBrush, 0x0000FF00, 0);
    if ((selector & 4) != 0)
        image.SetTextPlot(&CGraphicsImage::SoftBrush, 0x800000FF, 1);
    if (!image.SetFont(font))
        return 0;

    MeasureAndDraw(image, 18, 11, "Quizmora 0123 \xC4\xD6\xDC");
    const std::size_t tail = size < 24 ? size : 24;
    MeasureAndDraw(image, -3, 20, std::string(reinterpret_cast<const char*>(data + size - tail), tail));
    return 0;
}
