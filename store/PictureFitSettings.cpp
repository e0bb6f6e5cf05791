#include "store/PictureFitSettings.h"

#include "support/SettingsKey.h"

namespace {

// The library's pictures end at 32768 pixels a side.
constexpr std::uint32_t kLargestSide = 32768;

void ReadSide(const CSettingsKey& key, std::string_view name, std::uint32_t& side)
{
    std::uint32_t value = 0;
    if (key.ReadDword(name, value) && value >= 1 && value <= kLargestSide)
        side = value;
}

}  // namespace

CPictureFit LoadPictureFit()
{
    CPictureFit fit;
    const CSettingsKey key;
    ReadSide(key, kPictureMaxWidthValue, fit.MaxWidth);
    ReadSide(key, kPictureMaxHeightValue, fit.MaxHeight);
    return fit;
}
