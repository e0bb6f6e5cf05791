#pragma once
// The palettes a newly created indexed image starts with (internal to the imaging library).

#include "imaging/BitmapInfo.h"

#include <span>

// Writes the default palette of the format into colors (alpha 0); true-colour formats get none.
void SetDefaultPalette(std::span<RGBQUAD, 256> colors, int bpp);
