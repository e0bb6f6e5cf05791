#include "store/PictureImport.h"

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"

#include <algorithm>

CPictureSize FittedPictureSize(CPictureSize size, const CPictureFit& fit)
{
    if (!fit.Shrink || fit.MaxWidth == 0 || fit.MaxHeight == 0 || size.Width == 0 || size.Height == 0 ||
        (size.Width <= fit.MaxWidth && size.Height <= fit.MaxHeight))
        return size;
    const std::uint64_t width = size.Width;
    const std::uint64_t height = size.Height;
    // The side that hits the limit first takes the limit; the other follows, rounded to nearest.
    if (width * fit.MaxHeight >= height * fit.MaxWidth) {
        const std::uint64_t scaled = (height * fit.MaxWidth * 2 + width) / (width * 2);
        return {fit.MaxWidth, static_cast<std::uint32_t>(std::max<std::uint64_t>(scaled, 1))};
    }
    const std::uint64_t scaled = (width * fit.MaxHeight * 2 + height) / (height * 2);
    return {static_cast<std::uint32_t>(std::max<std::uint64_t>(scaled, 1)), fit.MaxHeight};
}

int ReadPictureSize(std::string_view file, CPictureSize& size)
{
    CGraphicsImage picture;
    const int result = LoadGraphicsFile(file, picture);
    if (result == kLoadOk)
        size = {picture.Width(), picture.Height()};
    return result;
}

int LoadImportPicture(std::string_view file, const CPictureFit& fit, CGraphicsImage& picture, CPictureSize* ownSize)
{
    CGraphicsImage loaded;
    const int result = LoadGraphicsFile(file, loaded);
    if (result != kLoadOk)
        return result;
    const CPictureSize own{loaded.Width(), loaded.Height()};
    if (ownSize)
        *ownSize = own;
    const CPictureSize fitted = FittedPictureSize(own, fit);
    if (fitted != own) {
        CGraphicsImage scaled;
        if (!scaled.Resample(loaded, fitted.Width, fitted.Height, CGraphicsImage::ResampleSmooth))
            return kLoadNoMemory;
        loaded.Swap(scaled);
    }
    return picture.Swap(loaded) ? kLoadOk : kLoadNoMemory;
}

bool StoreImportPicture(const CGraphicsImage& picture, const std::filesystem::path& target)
{
    return SaveGraphicsFile(target.native(), picture) == kSaveOk;
}

bool ImportPicture(std::string_view file, const CPictureFit& fit, const std::filesystem::path& target)
{
    CGraphicsImage picture;
    return LoadImportPicture(file, fit, picture) == kLoadOk && StoreImportPicture(picture, target);
}
