#include "imaging/ContainerSignatures.h"

#include "support/ByteOrder.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

using Brand = std::string_view;

constexpr std::size_t kBrandSize = 4;
constexpr std::size_t kFirstCompatibleBrand = 16;

// Brands of AV1 pictures (still and sequence), and of HEVC pictures and their layered, multi-view
// and sequence forms.
constexpr std::array<Brand, 2> kAvifBrands = {"avif", "avis"};
constexpr std::array<Brand, 8> kHevcBrands = {"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm", "hevs"};
// The general brands of image files and image sequences: the codec is only told by the others.
constexpr std::array<Brand, 2> kGeneralBrands = {"mif1", "msf1"};

bool Is(std::span<const std::uint8_t> bytes, std::size_t offset, std::string_view text)
{
    return bytes.size() >= offset + text.size() &&
           std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

template <std::size_t N>
bool IsOneOf(std::span<const std::uint8_t> bytes, std::size_t offset, const std::array<Brand, N>& brands)
{
    return std::any_of(brands.begin(), brands.end(), [&](Brand brand) { return Is(bytes, offset, brand); });
}

// Whether a compatible brand of the "ftyp" box (as far as the header shows it) is one of `brands`.
template <std::size_t N>
bool IsCompatible(std::span<const std::uint8_t> header, const std::array<Brand, N>& brands)
{
    const std::size_t boxSize = LoadBE32(header.data());
    const std::size_t end = std::min(boxSize, header.size());
    for (std::size_t offset = kFirstCompatibleBrand; offset + kBrandSize <= end; offset += kBrandSize)
        if (IsOneOf(header, offset, brands))
            return true;
    return false;
}

}  // namespace

GraphicsFileType ContainerFileType(std::span<const std::uint8_t> header)
{
    header = header.first(std::min(header.size(), kDetectHeaderSize));
    if (Is(header, 0, "RIFF") && Is(header, 8, "WEBP"))
        return GraphicsFileType::Webp;
    if (!Is(header, 4, "ftyp"))
        return GraphicsFileType::None;
    if (IsOneOf(header, 8, kAvifBrands))
        return GraphicsFileType::Avif;
    if (IsOneOf(header, 8, kHevcBrands))
        return GraphicsFileType::Heif;
    if (!IsOneOf(header, 8, kGeneralBrands))
        return GraphicsFileType::None;
    // A general image file: AV1 pictures go to the AVIF reader; anything else (HEVC, or a codec
    // only libheif knows) to the HEIF reader.
    if (IsCompatible(header, kAvifBrands))
        return GraphicsFileType::Avif;
    return GraphicsFileType::Heif;
}
