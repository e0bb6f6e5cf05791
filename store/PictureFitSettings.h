#pragma once
// The largest size imported pictures are stored at: the settings "PicMaxWidth" and "PicMaxHeight"
// in the application's key, 3840 x 2160 when missing or out of range.

#include "store/PictureImport.h"

#include <string_view>

inline constexpr std::string_view kPictureMaxWidthValue = "PicMaxWidth";
inline constexpr std::string_view kPictureMaxHeightValue = "PicMaxHeight";

// The fit with the stored limit; Shrink is on.
CPictureFit LoadPictureFit();
