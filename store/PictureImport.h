#pragma once
// Importing a picture as a puzzle's "Pic.png": any format the imaging library reads, turned
// upright by its Exif orientation (the readers do that), scaled down when it is larger than the
// limit, stored as PNG so that the old file stays until the new one is whole. The editor dialog,
// the command-line tool and the game's drop of a picture all import through here.

#include <cstdint>
#include <filesystem>
#include <string_view>

class CGraphicsImage;

// How a picture is stored: scaled down to fit within MaxWidth x MaxHeight, keeping its aspect
// ratio, or (Shrink off) at its own size.
struct CPictureFit {
    static constexpr std::uint32_t kDefaultMaxWidth = 3840;
    static constexpr std::uint32_t kDefaultMaxHeight = 2160;

    bool Shrink = true;
    std::uint32_t MaxWidth = kDefaultMaxWidth;
    std::uint32_t MaxHeight = kDefaultMaxHeight;
};

struct CPictureSize {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;

    bool operator==(const CPictureSize&) const = default;
};

// The size a picture of `size` is stored at: its own when it fits or Shrink is off, otherwise the
// largest size within the limit with its aspect ratio (rounded, at least 1 x 1).
CPictureSize FittedPictureSize(CPictureSize size, const CPictureFit& fit);

// The size of the picture in `file` as it is imported (upright). Returns the LoadGraphicsFile result.
int ReadPictureSize(std::string_view file, CPictureSize& size);

// Loads `file` by its content and scales it to its fitted size with the library's box filter.
// Returns the LoadGraphicsFile result (kLoadOk on success; kLoadNoMemory when the scaled copy
// cannot be made). `picture` changes only on success; ownSize, when given, receives the size the
// file has (upright).
int LoadImportPicture(std::string_view file, const CPictureFit& fit, CGraphicsImage& picture,
                      CPictureSize* ownSize = nullptr);

// Stores the picture as PNG at `target`, replacing an existing file only once the new one is whole.
bool StoreImportPicture(const CGraphicsImage& picture, const std::filesystem::path& target);

// Both in one: false when the file does not load or the PNG cannot be written.
bool ImportPicture(std::string_view file, const CPictureFit& fit, const std::filesystem::path& target);
