#pragma once
// The image data of a PNG (the content of its IDAT chunks) made on several threads: each row gets
// the filter libpng's adaptive choice would give it (the smallest sum of the filtered bytes taken
// as signed), and the filtered rows are deflated in one part per thread. Each part starts with the
// last 32 KB of the part before as its dictionary and ends on a byte boundary, so the parts join
// into one zlib stream that is as small as one made in a single run, give or take a few bytes.
// Deflating is nearly all of the time a large picture takes to write; two cores halve it.

#include "imaging/formats/png/PngCompression.h"

#include <cstdint>
#include <functional>
#include <vector>

class CGraphicsImage;

// Asked with a percentage while rows are filtered; true stops the work.
using PngStopQuery = std::function<bool(int percent)>;

enum class PngDeflateResult
{
    Done,
    Stopped,
    Failed,  // zlib refused (out of memory)
};

// The zlib stream of the filtered rows of an 8-bit RGB (or, with withAlpha, RGBA) PNG of the
// image, in `threads` parts (at least 1).
PngDeflateResult DeflatePngRows(const CGraphicsImage& image, bool withAlpha, const PngCompression& compression,
                                unsigned threads, const PngStopQuery& askStop, std::vector<std::uint8_t>& stream);

// The threads worth using for a picture of this size on this machine: 1 for small pictures.
unsigned PngDeflateThreads(const CGraphicsImage& image);
