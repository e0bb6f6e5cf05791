#pragma once
// The formats recognised by their container: a RIFF file of form "WEBP", and ISO base media files
// whose "ftyp" box names an AVIF or HEIF brand. Their signatures sit at fixed places, so they
// stand against whatever the text tests find in the binary fields around them.

#include "imaging/DetectGraphicsType.h"

#include <cstdint>
#include <span>

// WebP, Avif, Heif, or None for any other header.
GraphicsFileType ContainerFileType(std::span<const std::uint8_t> header);
