#pragma once
// Where the answer letters come from: the application renders them with its fixed-pitch letter
// font; the core only needs the ink of one character and its extent.

#include <cstdint>

class CGraphicsImage;

struct GlyphExtent {
    int width = 0;
    int height = 0;
};

class ILetterGlyphs {
public:
    virtual ~ILetterGlyphs() = default;
    // mask is a 1-bit image of 256 x 256 pixels, all 0. Sets the pixels of the character's ink
    // (drawn with its cell's top-left corner at 0, 0) to 1 and returns the character's extent.
    virtual GlyphExtent RenderGlyph(std::uint8_t character, CGraphicsImage& mask) = 0;
};
