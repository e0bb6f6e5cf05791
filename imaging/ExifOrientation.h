#pragma once
// The orientation that cameras and phones record in a picture's Exif block, and turning a decoded
// picture upright by it. The sensor's rows are stored as they were read out; a portrait photo is
// stored lying on its side with an orientation that says how to turn it.

#include <cstdint>
#include <span>

class CGraphicsImage;

// The values 1 to 8 of the Exif orientation tag: where the stored picture's first row and first
// column belong.
enum class ExifOrientation : std::uint8_t
{
    Upright = 1,
    Mirrored = 2,
    UpsideDown = 3,
    UpsideDownMirrored = 4,
    Transposed = 5,          // first row is the left column
    TurnedLeft = 6,          // stored turned 90 degrees anticlockwise: turn it clockwise
    Transversed = 7,
    TurnedRight = 8,         // stored turned 90 degrees clockwise: turn it anticlockwise
};

// The orientation in the body of a JPEG APP1 marker ("Exif\0\0" and a TIFF structure); Upright
// when the block is not Exif, is damaged or has no valid orientation in its first directory.
ExifOrientation OrientationFromExif(std::span<const std::uint8_t> app1);

// True when the upright picture has width and height exchanged.
bool SwapsAxes(ExifOrientation orientation);

// Makes upright a copy of the 24- or 32-bit picture `stored`, turned and mirrored by the orientation. The
// upright image is created here; its Create failure throws.
void MakeUpright(const CGraphicsImage& stored, ExifOrientation orientation, CGraphicsImage& upright);
