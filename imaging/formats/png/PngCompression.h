#pragma once
// How the PNG writer compresses: zlib's level, strategy and memory level, the row filters libpng
// may choose from, and the size of the IDAT chunks.
//
// Photographs and drawings want different settings. A photo's noise leaves deflate's string search
// nothing to find: at libpng's defaults (level 6, Z_FILTERED, every filter) a 12-megapixel photo
// takes about 1.7 s of CPU for a file that Z_RLE, which only looks for runs, writes in a third of
// the time and about 0.1 % smaller. A drawing or a screen shot is the opposite: Z_RLE makes it a
// third larger, while the full search (level 7) is fast on it. So the writer compresses a few
// bands of the picture both ways and takes the smaller. Both use all five filters, zlib's largest
// memory level and 256 KB IDAT chunks, which keeps the files at or below ImageMagick's.

#include <png.h>
#include <zlib.h>

#include <cstddef>

class CGraphicsImage;

struct PngCompression
{
    int level = 7;
    int strategy = Z_FILTERED;
    int memLevel = 9;
    int filters = PNG_ALL_FILTERS;
    std::size_t chunkBytes = 256 * 1024;
    unsigned threads = 0;  // deflating threads; 0: as many as the picture's size is worth

    bool operator==(const PngCompression&) const = default;
};

// The full string search, for drawings, screen shots and small pictures.
PngCompression PngCompressionForDrawings();
// Runs only, for photographs.
PngCompression PngCompressionForPhotos();
// What libpng does when it is told nothing, on one thread (the writer before the choice).
PngCompression PngCompressionLibpngDefault();

// The settings for this picture, chosen by compressing sample bands of it both ways (as RGB, or
// RGBA with withAlpha); small pictures take the drawing settings without a trial, indexed ones
// without filters.
PngCompression ChoosePngCompression(const CGraphicsImage& image, bool withAlpha);

// Hands the settings to libpng; call before png_write_info. Plain C calls only, so it may run in
// a function that holds a setjmp.
void ApplyPngCompression(png_structp png, const PngCompression& compression);
