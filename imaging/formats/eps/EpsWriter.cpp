#include "imaging/formats/eps/EpsWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char kBilevelTemplate[] =
    "%%!PS-Adobe-3.0 EPSF-3.0\n%%%%LanguageLevel: 1\n%%%%Creator: KQ-Radiz\n%%%%Pages: 1\n"
    "%%%%BoundingBox: %i %i %i %i\n%%%%EndComments\n%%%%BeginSetup\n/readstring {\n"
    "  currentfile exch readhexstring pop\n} bind def\n/picstr %i string def\n%%%%Dummy %i %i\n"
    "%%%%EndSetup\n%%%%Page: 1 1\ngsave\n%g %g translate\n%g %g scale\n%i %i 1\n"
    "[ %i 0 0 -%i 0 %i ]\n{ picstr readstring }\nimage\n";

constexpr char kGreyTemplate[] =
    "%%!PS-Adobe-3.0 EPSF-3.0\n%%%%LanguageLevel: 2\n%%%%Creator: KQ-Radiz\n%%%%Pages: 1\n"
    "%%%%BoundingBox: %i %i %i %i\n%%%%EndComments\n%%%%BeginSetup\n/readstring {\n"
    "  currentfile exch readhexstring pop\n} bind def\n/picstr %i string def\n%%%%Dummy %i %i\n"
    "%%%%EndSetup\n%%%%Page: 1 1\ngsave\n%g %g translate\n%g %g scale\n%i %i 8\n"
    "[ %i 0 0 -%i 0 %i ]\n{ picstr readstring }\nimage\n";

constexpr char kColourTemplate[] =
    "%%!PS-Adobe-3.0 EPSF-3.0\n%%%%LanguageLevel: 2\n%%%%Creator: KQ-Radiz\n%%%%Pages: 1\n"
    "%%%%BoundingBox: %i %i %i %i\n%%%%EndComments\n%%%%BeginSetup\n/readstring {\n"
    "  currentfile exch readhexstring pop\n} bind def\n/rpicstr %i string def\n/gpicstr %i string def\n"
    "/bpicstr %i string def\n%%%%EndSetup\n%%%%Page: 1 1\ngsave\n%g %g translate\n%g %g scale\n"
    "%i %i 8\n[ %i 0 0 -%i 0 %i ]\n{ rpicstr readstring }\n{ gpicstr readstring }\n"
    "{ bpicstr readstring }\ntrue 3\ncolorimage\n";

constexpr std::string_view kTrailer =
    "currentdict /inputf undef\ncurrentdict /picstr undef\ncurrentdict /rpicstr undef\n"
    "currentdict /gpicstr undef\ncurrentdict /bpicstr undef\ngrestore\nshowpage\n%%Trailer\n";

constexpr int kBytesPerLine = 30;

enum class EpsSamples
{
    Bilevel,
    InvertedBilevel,  // palette white, black: stored bits are flipped so the page looks the same
    Grey,
    Colour,
};

bool IsGreyRamp(const CGraphicsImage& image)
{
    for (unsigned i = 0; i < 256; ++i)
        if (image.PaletteColor(i) != i * 0x010101u)
            return false;
    return true;
}

bool IsRgb(const RGBQUAD& entry, std::uint8_t value)
{
    return entry.rgbRed == value && entry.rgbGreen == value && entry.rgbBlue == value;
}

EpsSamples SamplesFor(const CGraphicsImage& image)
{
    const RGBQUAD* palette = image.Palette();
    if (image.Bpp() == 1) {
        // PostScript prints sample 0 black and 1 white; other palettes are written in colour.
        if (IsRgb(palette[0], 0) && IsRgb(palette[1], 255))
            return EpsSamples::Bilevel;
        if (IsRgb(palette[0], 255) && IsRgb(palette[1], 0))
            return EpsSamples::InvertedBilevel;
    }
    if (image.Bpp() == 8 && IsGreyRamp(image))
        return EpsSamples::Grey;
    return EpsSamples::Colour;
}

// Where the picture lands on the A4 page, in points.
struct EpsPlacement
{
    int left = 0, bottom = 0, right = 0, top = 0;
    double width = 0, height = 0;
};

EpsPlacement PlaceOnPage(std::uint32_t width, std::uint32_t height, std::uint32_t xResolution,
                         std::uint32_t yResolution)
{
    EpsPlacement p;
    if (xResolution != 0 && yResolution != 0) {
        p.width = 2834.0 / xResolution * width;
        p.height = 2834.0 / yResolution * height;
        p.left = p.width < 581 ? int((595 - p.width) / 2) : 15;
        p.bottom = p.height < 827 ? int((841 - p.height) / 2) : 15;
        p.right = p.left + int(p.width);
        p.top = p.bottom + int(p.height);
        return p;
    }
    const double sx = 565.0 / width, sy = 811.0 / height;
    if (sx >= sy) {
        p.width = width * sy;
        p.height = height * sy;
        p.bottom = 15;
        p.top = 826;
        p.left = int((595 - p.width) / 2);
        p.right = 595 - p.left;
    } else {
        p.width = width * sx;
        p.height = height * sx;
        p.left = 15;
        p.right = 580;
        p.bottom = int((841 - p.height) / 2);
        p.top = 841 - p.bottom;
    }
    return p;
}

class EpsOut
{
public:
    explicit EpsOut(CDataStream& stream) : m_stream(stream) {}

    void Put(std::string_view text)
    {
        if (!text.empty() && m_stream.Write(text.data(), std::int32_t(text.size())) != std::int32_t(text.size()))
            throw EEpsFileWriteError();
    }
    // Lower-case hexadecimal, a line break after every 30 bytes counted across calls.
    void PutHex(const std::uint8_t* bytes, std::size_t n, std::uint8_t flip = 0)
    {
        static constexpr char digits[] = "0123456789abcdef";
        m_line.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t value = bytes[i] ^ flip;
            m_line.push_back(digits[value >> 4]);
            m_line.push_back(digits[value & 15]);
            if (++m_column == kBytesPerLine) {
                m_line.push_back('\n');
                m_column = 0;
            }
        }
        Put(m_line);
    }
    void EndHex()
    {
        if (m_column != 0)
            Put("\n");
        m_column = 0;
    }

private:
    CDataStream& m_stream;
    std::string m_line;
    int m_column = 0;
};

}  // namespace

void CEpsWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    if (image.IsEmpty())
        throw EEpsDataError();
    const std::uint32_t width = image.Width(), height = image.Height();
    const EpsSamples samples = SamplesFor(image);
    const bool colour = samples == EpsSamples::Colour;
    const int bits = samples == EpsSamples::Bilevel || samples == EpsSamples::InvertedBilevel ? 1 : 8;
    const int components = colour ? 3 : 1;
    const auto rowBytes = std::uint32_t((std::uint64_t(components) * width * bits + 7) / 8);
    const int stringLength = int(rowBytes / std::uint32_t(components));
    const EpsPlacement p = PlaceOnPage(width, height, m_xResolution, m_yResolution);
    const char* format = colour ? kColourTemplate : bits == 1 ? kBilevelTemplate : kGreyTemplate;

    const auto w = int(width), h = int(height);
    std::vector<char> header(2048);
    const int length = std::snprintf(header.data(), header.size(), format, p.left, p.bottom, p.right, p.top,
                                     stringLength, stringLength, stringLength, p.left + 0.25, p.bottom + 0.25,
                                     p.width, p.height, w, h, w, h, h);
    if (length < 0 || std::size_t(length) >= header.size())
        throw EEpsDataError();
    EpsOut out(stream);
    out.Put({header.data(), std::size_t(length)});

    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = image.Row(y);
        if (!colour) {
            out.PutHex(row, rowBytes, samples == EpsSamples::InvertedBilevel ? 0xFF : 0x00);
        } else {
            // One row as all its red samples, then the green ones, then the blue ones.
            const std::uint8_t* bgr = image.RowTo24Copy(row);
            std::vector<std::uint8_t> planes(rowBytes);
            for (std::uint32_t x = 0; x < width; ++x) {
                planes[x] = bgr[3 * x + 2];
                planes[width + x] = bgr[3 * x + 1];
                planes[2 * std::size_t(width) + x] = bgr[3 * x];
            }
            out.PutHex(planes.data(), planes.size());
        }
        Info().ReportProgress(int(std::uint64_t(y + 1) * 100 / height));
    }
    out.EndHex();
    out.Put(kTrailer);
}

void CEpsWriter::ThrowCreateError() const
{
    throw EEpsFileOpenError();
}

void CEpsWriter::ThrowWriteError() const
{
    throw EEpsFileWriteError();
}
