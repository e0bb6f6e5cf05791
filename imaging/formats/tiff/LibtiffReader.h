#pragma once
// The TIFF files our own reader leaves alone (JPEG new and old style, CCITT G3 and G4, tiles,
// separate planes, CMYK, YCbCr, CIELab, samples of other depths, BigTIFF) through libtiff's RGBA
// interface, read from our data stream.

#include <cstdint>
#include <string>

class CDataStream;
class CGraphicsCodecInfo;
class CGraphicsImage;

// What the file says beside its pixels.
struct LibtiffPicture
{
    std::string comment;
    std::uint32_t xPixelsPerMetre = 2835;
    std::uint32_t yPixelsPerMetre = 2835;
};

// Reads the first full-resolution image of the TIFF at the stream's position into a 24-bit image,
// or a 32-bit one when the file has alpha (associated, as libtiff delivers it), top row first as
// the file's orientation says. Throws ETiffError with `openFailedText` when libtiff cannot open the
// file, "Modus ist nicht unterstützt" when it cannot decode the layout and "Fehler beim Lesen" for
// damaged or cut-short pixel data, EGraphicsPicSize for a picture beyond the size cap (before
// anything is decoded), EGraphicsAbort when the progress callback asks to stop.
LibtiffPicture ReadTiffWithLibtiff(CDataStream& stream, CGraphicsImage& image, const CGraphicsCodecInfo& info,
                                   const char* openFailedText);
