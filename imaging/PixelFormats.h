#pragma once
// The function tables of the nine pixel formats (internal to the imaging library).

#include "imaging/GraphicsImage.h"
#include "imaging/GreyLevel.h"
#include "support/ByteOrder.h"

#include <bit>
#include <cstdint>

// Pixel values are copied to and from memory as native words in places.
static_assert(std::endian::native == std::endian::little);

// Functions of an image without a format: converters return a dummy row, reads give 0.
const GraphicsFormatFunctions& InertFormatFunctions();
// The table of a format, or null when bpp names none.
const GraphicsFormatFunctions* FormatFunctionsFor(int bpp);

