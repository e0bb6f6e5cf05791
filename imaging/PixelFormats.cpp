#include "imaging/PixelFormats.h"

#include <cstring>

namespace {

// ---- pixel access per format, on a row pointer --------------------------------------------

struct Indexed1
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t v)
    {
        const int shift = 7 - int(x & 7);
        row[x >> 3] = std::uint8_t((row[x >> 3] & ~(1u << shift)) | ((v & 1) << shift));
    }
    static std::uint32_t ToPixel(std::uint32_t c) { return c; }
};

struct Indexed2
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x)
    {
        return (row[x >> 2] >> (6 - 2 * (x & 3))) & 3;
    }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t v)
    {
        const int shift = 6 - 2 * int(x & 3);
        row[x >> 2] = std::uint8_t((row[x >> 2] & ~(3u << shift)) | ((v & 3) << shift));
    }
    static std::uint32_t ToPixel(std::uint32_t c) { return c; }
};

struct Indexed4
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x)
    {
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t v)
    {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = std::uint8_t((row[x >> 1] & ~(15u << shift)) | ((v & 15) << shift));
    }
    static std::uint32_t ToPixel(std::uint32_t c) { return c; }
};

struct Indexed8
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x) { return row[x]; }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t v) { row[x] = std::uint8_t(v); }
    static std::uint32_t ToPixel(std::uint32_t c) { return c; }
};

// Pairs of pixels in three bytes: even B|G, R|b, g|r (nibbles, high first).
struct Rgb444
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x)
    {
        const std::uint8_t* p = row + 3 * (x >> 1);
        std::uint32_t b, g, r;
        if ((x & 1) == 0) {
            b = p[0] >> 4;
            g = p[0] & 15;
            r = p[1] >> 4;
        } else {
            b = p[1] & 15;
            g = p[2] >> 4;
            r = p[2] & 15;
        }
        return (r << 20) | (g << 12) | (b << 4);
    }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t c)
    {
        std::uint8_t* p = row + 3 * (x >> 1);
        const std::uint32_t r = (c >> 20) & 15, g = (c >> 12) & 15, b = (c >> 4) & 15;
        if ((x & 1) == 0) {
            p[0] = std::uint8_t((b << 4) | g);
            p[1] = std::uint8_t((r << 4) | (p[1] & 15));
        } else {
            p[1] = std::uint8_t((p[1] & 0xF0) | b);
            p[2] = std::uint8_t((g << 4) | r);
        }
    }
    static std::uint32_t ToPixel(std::uint32_t c) { return ((c >> 12) & 0xF00) | ((c >> 8) & 0xF0) | ((c >> 4) & 0xF); }
};

struct Rgb555
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x)
    {
        const std::uint32_t w = LoadLE16(row + 2 * x);
        return ((w & 0x8000) << 16) | (((w >> 10) & 31) << 19) | (((w >> 5) & 31) << 11) | ((w & 31) << 3);
    }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t c)
    {
        StoreLE16(row + 2 * x, std::uint16_t(ToPixel(c)));
    }
    static std::uint32_t ToPixel(std::uint32_t c)
    {
        return ((c >> 16) & 0x8000) | ((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) | ((c >> 3) & 0x001F);
    }
};

struct Rgb565
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x)
    {
        const std::uint32_t w = LoadLE16(row + 2 * x);
        return ((w >> 11) << 19) | (((w >> 5) & 63) << 10) | ((w & 31) << 3);
    }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t c)
    {
        StoreLE16(row + 2 * x, std::uint16_t(ToPixel(c)));
    }
    static std::uint32_t ToPixel(std::uint32_t c) { return ((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F); }
};

struct Rgb888
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x)
    {
        const std::uint8_t* p = row + 3 * x;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t c)
    {
        std::uint8_t* p = row + 3 * x;
        p[0] = std::uint8_t(c);
        p[1] = std::uint8_t(c >> 8);
        p[2] = std::uint8_t(c >> 16);
    }
    static std::uint32_t ToPixel(std::uint32_t c) { return c; }
};

struct Argb8888
{
    static std::uint32_t Get(const std::uint8_t* row, std::uint32_t x) { return LoadLE32(row + 4 * x); }
    static void Set(std::uint8_t* row, std::uint32_t x, std::uint32_t c) { StoreLE32(row + 4 * x, c); }
    static std::uint32_t ToPixel(std::uint32_t c) { return c; }
};

// ---- table entries built from the pixel access ----------------------------------------------

template <class Format>
std::uint32_t GetPixel(const CGraphicsImage& image, std::uint32_t x, std::uint32_t y)
{
    return Format::Get(image.Row(y), x);
}

template <class Format>
void SetPixel(CGraphicsImage& image, std::uint32_t x, std::uint32_t y, std::uint32_t value)
{
    Format::Set(image.Row(y), x, value);
}

std::uint8_t* CopyRow(const CGraphicsImage& image, const std::uint8_t* row)
{
    std::memcpy(image.ScratchRow(), row, image.Stride());
    return image.ScratchRow();
}

const std::uint8_t* SameRow(const CGraphicsImage&, const std::uint8_t* row) { return row; }

template <std::uint8_t* (*Convert)(const CGraphicsImage&, const std::uint8_t*)>
const std::uint8_t* AsConstRow(const CGraphicsImage& image, const std::uint8_t* row)
{
    return Convert(image, row);
}

template <class Format>
std::uint8_t* IndexedTo8(const CGraphicsImage& image, const std::uint8_t* row)
{
    std::uint8_t* out = image.ScratchRow();
    for (std::uint32_t x = 0, w = image.Width(); x < w; ++x)
        out[x] = std::uint8_t(Format::Get(row, x));
    return out;
}

template <class Format>
std::uint8_t* IndexedTo24(const CGraphicsImage& image, const std::uint8_t* row)
{
    std::uint8_t* out = image.ScratchRow();
    const RGBQUAD* palette = image.Palette();
    for (std::uint32_t x = 0, w = image.Width(); x < w; ++x, out += 3) {
        const RGBQUAD& entry = palette[Format::Get(row, x)];
        out[0] = entry.rgbBlue;
        out[1] = entry.rgbGreen;
        out[2] = entry.rgbRed;
    }
    return image.ScratchRow();
}

template <class Format>
std::uint8_t* IndexedTo32(const CGraphicsImage& image, const std::uint8_t* row)
{
    std::uint8_t* out = image.ScratchRow();
    const RGBQUAD* palette = image.Palette();
    for (std::uint32_t x = 0, w = image.Width(); x < w; ++x, out += 4)
        std::memcpy(out, &palette[Format::Get(row, x)], 4);
    return image.ScratchRow();
}

template <class Format>
std::uint8_t* ColorTo8(const CGraphicsImage& image, const std::uint8_t* row)
{
    std::uint8_t* out = image.ScratchRow();
    for (std::uint32_t x = 0, w = image.Width(); x < w; ++x)
        out[x] = std::uint8_t(GreyOf(Format::Get(row, x)));
    return out;
}

template <class Format>
std::uint8_t* ColorTo24(const CGraphicsImage& image, const std::uint8_t* row)
{
    std::uint8_t* out = image.ScratchRow();
    for (std::uint32_t x = 0, w = image.Width(); x < w; ++x, out += 3) {
        const std::uint32_t c = Format::Get(row, x);
        out[0] = std::uint8_t(c);
        out[1] = std::uint8_t(c >> 8);
        out[2] = std::uint8_t(c >> 16);
    }
    return image.ScratchRow();
}

template <class Format>
std::uint8_t* ColorTo32(const CGraphicsImage& image, const std::uint8_t* row)
{
    std::uint8_t* out = image.ScratchRow();
    for (std::uint32_t x = 0, w = image.Width(); x < w; ++x, out += 4)
        StoreLE32(out, Format::Get(row, x));
    return image.ScratchRow();
}

std::uint8_t* Argb8888To24(const CGraphicsImage& image, const std::uint8_t* row)
{
    std::uint8_t* out = image.ScratchRow();
    for (std::uint32_t x = 0, w = image.Width(); x < w; ++x, out += 3, row += 4) {
        out[0] = row[0];
        out[1] = row[1];
        out[2] = row[2];
    }
    return image.ScratchRow();
}

template <class Format>
constexpr GraphicsFormatFunctions IndexedFunctions()
{
    return {AsConstRow<IndexedTo8<Format>>, AsConstRow<IndexedTo24<Format>>, AsConstRow<IndexedTo32<Format>>,
            IndexedTo8<Format>,             IndexedTo24<Format>,             IndexedTo32<Format>,
            GetPixel<Format>,               SetPixel<Format>,                Format::ToPixel,
            Format::Get,                    Format::Set};
}

template <class Format>
constexpr GraphicsFormatFunctions PackedColorFunctions()
{
    return {AsConstRow<ColorTo8<Format>>, AsConstRow<ColorTo24<Format>>, AsConstRow<ColorTo32<Format>>,
            ColorTo8<Format>,             ColorTo24<Format>,             ColorTo32<Format>,
            GetPixel<Format>,             SetPixel<Format>,              Format::ToPixel,
            Format::Get,                  Format::Set};
}

constexpr GraphicsFormatFunctions format1 = IndexedFunctions<Indexed1>();
constexpr GraphicsFormatFunctions format2 = IndexedFunctions<Indexed2>();
constexpr GraphicsFormatFunctions format4 = IndexedFunctions<Indexed4>();
constexpr GraphicsFormatFunctions format8 = {
    SameRow,          AsConstRow<IndexedTo24<Indexed8>>, AsConstRow<IndexedTo32<Indexed8>>,
    CopyRow,          IndexedTo24<Indexed8>,             IndexedTo32<Indexed8>,
    GetPixel<Indexed8>, SetPixel<Indexed8>,              Indexed8::ToPixel,
    Indexed8::Get,    Indexed8::Set};
constexpr GraphicsFormatFunctions format12 = PackedColorFunctions<Rgb444>();
constexpr GraphicsFormatFunctions format15 = PackedColorFunctions<Rgb555>();
constexpr GraphicsFormatFunctions format16 = PackedColorFunctions<Rgb565>();
constexpr GraphicsFormatFunctions format24 = {
    AsConstRow<ColorTo8<Rgb888>>, SameRow,          AsConstRow<ColorTo32<Rgb888>>,
    ColorTo8<Rgb888>,             CopyRow,          ColorTo32<Rgb888>,
    GetPixel<Rgb888>,             SetPixel<Rgb888>, Rgb888::ToPixel,
    Rgb888::Get,                  Rgb888::Set};
constexpr GraphicsFormatFunctions format32 = {
    AsConstRow<ColorTo8<Argb8888>>, AsConstRow<Argb8888To24>, SameRow,
    ColorTo8<Argb8888>,             Argb8888To24,             CopyRow,
    GetPixel<Argb8888>,             SetPixel<Argb8888>,       Argb8888::ToPixel,
    Argb8888::Get,                  Argb8888::Set};

// ---- the inert table of an image without format ----------------------------------------------

// Callers of an empty image's converters get a harmless row back; nobody may write into it.
alignas(4) std::uint8_t dummyRow[16] = {};

std::uint8_t* InertRow(const CGraphicsImage&, const std::uint8_t*) { return dummyRow; }
const std::uint8_t* InertConstRow(const CGraphicsImage&, const std::uint8_t*) { return dummyRow; }
std::uint32_t InertGetPixel(const CGraphicsImage&, std::uint32_t, std::uint32_t) { return 0; }
void InertSetPixel(CGraphicsImage&, std::uint32_t, std::uint32_t, std::uint32_t) {}
std::uint32_t InertColorToPixel(std::uint32_t colour) { return colour; }
std::uint32_t InertGetRowPixel(const std::uint8_t*, std::uint32_t) { return 0; }
void InertSetRowPixel(std::uint8_t*, std::uint32_t, std::uint32_t) {}

constexpr GraphicsFormatFunctions inert = {InertConstRow, InertConstRow, InertConstRow, InertRow,
                                           InertRow,      InertRow,      InertGetPixel, InertSetPixel,
                                           InertColorToPixel, InertGetRowPixel, InertSetRowPixel};

}  // namespace

const GraphicsFormatFunctions& InertFormatFunctions()
{
    return inert;
}

const GraphicsFormatFunctions* FormatFunctionsFor(int bpp)
{
    switch (bpp) {
    case 1: return &format1;
    case 2: return &format2;
    case 4: return &format4;
    case 8: return &format8;
    case 12: return &format12;
    case 15: return &format15;
    case 16: return &format16;
    case 24: return &format24;
    case 32: return &format32;
    default: return nullptr;
    }
}
