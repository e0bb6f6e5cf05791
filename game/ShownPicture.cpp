#include "game/ShownPicture.h"

#include <algorithm>
#include <cstdint>

namespace {

// Copies for the sizes of the last few layouts: a window that goes full screen and back, or an
// answer of one row after one of two, finds its copy again. Each is a screen's worth of memory.
constexpr std::size_t kKeptFits = 3;

}  // namespace

SPictureBox FittedSize(int w, int h, SPictureBox box)
{
    if (box.Holds(w, h))
        return {w, h};
    const std::int64_t width = w;
    const std::int64_t height = h;
    // Whichever side meets its edge of the box first decides; the other is rounded down, so it
    // stays inside.
    if (width * box.height <= height * box.width)
        return {static_cast<int>(std::max<std::int64_t>(1, width * box.height / height)), box.height};
    return {box.width, static_cast<int>(std::max<std::int64_t>(1, height * box.width / width))};
}

bool FitPicture(const CGraphicsImage& source, SPictureBox box, SFittedPicture& fitted)
{
    const int w = static_cast<int>(source.Width());
    const int h = static_cast<int>(source.Height());
    if (box.IsEmpty() || w == 0 || h == 0 || box.Holds(w, h))
        return false;
    const SPictureBox size = FittedSize(w, h, box);
    fitted.box = box;
    return fitted.image.Resample(source, static_cast<std::uint32_t>(size.width), static_cast<std::uint32_t>(size.height),
                                 CGraphicsImage::ResampleSmooth);
}

void CShownPicture::Replace(CGraphicsImage& image, std::vector<SFittedPicture> fits)
{
    image_.Swap(image);
    fits_ = std::move(fits);
    if (fits_.size() > kKeptFits)
        fits_.resize(kKeptFits);
}

const CGraphicsImage* CShownPicture::ForBox(SPictureBox box)
{
    if (box.IsEmpty())
        return nullptr;
    if (box.Holds(static_cast<int>(image_.Width()), static_cast<int>(image_.Height())))
        return &image_;
    const auto kept = std::find_if(fits_.begin(), fits_.end(), [box](const SFittedPicture& fit) { return fit.box == box; });
    if (kept != fits_.end()) {
        std::rotate(fits_.begin(), kept, kept + 1);  // the most recent first
        return &fits_.front().image;
    }
    SFittedPicture fitted;
    if (!FitPicture(image_, box, fitted))
        return nullptr;
    if (fits_.size() >= kKeptFits)
        fits_.pop_back();
    fits_.insert(fits_.begin(), std::move(fitted));
    return &fits_.front().image;
}
