#include "imaging/formats/xpm/XpmWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <bit>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

namespace Text = GraphicsText::Xpm;

constexpr char kDefaultName[] = "unkown_xpm";
constexpr char kCodeAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ#_";
// From this many distinct colours on, a true-colour picture is written quantized.
constexpr std::size_t kQuantizeFrom = 1024;

// The colours of the file in order and the index of every pixel value.
struct XpmColorTable
{
    std::vector<std::uint32_t> colors;
    std::unordered_map<std::uint32_t, std::uint32_t> indexOf;  // true-colour images only
};

// Distinct pixel values in order of first appearance, from the top row; false when there are
// too many to write unquantized.
bool CollectColors(const CGraphicsImage& image, XpmColorTable& table)
{
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        for (std::uint32_t x = 0; x < image.Width(); ++x) {
            const std::uint32_t value = image.GetPixelFn(x, y);
            const auto [entry, added] = table.indexOf.try_emplace(value, static_cast<std::uint32_t>(table.colors.size()));
            if (!added)
                continue;
            if (table.colors.size() + 1 >= kQuantizeFrom)
                return false;
            table.colors.push_back(value);
        }
    }
    return true;
}

// Base-64 digits of the index, least significant first.
std::string CodeOf(std::uint32_t index, int charsPerPixel)
{
    std::string code;
    for (int i = 0; i < charsPerPixel; ++i, index >>= 6)
        code.push_back(kCodeAlphabet[index & 63]);
    return code;
}

}  // namespace

void CXpmWriter::ThrowCreateError() const
{
    throw EXpmError(Text::CreateFailed);
}

void CXpmWriter::ThrowWriteError() const
{
    throw EXpmError(Text::WriteFailed);
}

void CXpmWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    Info().ReportProgress(0);
    if (image.IsEmpty())
        throw EXpmError(Text::CannotHandleFormat);

    XpmColorTable table;
    CGraphicsImage quantized;
    const CGraphicsImage* source = &image;
    if (image.Bpp() > 8 && !CollectColors(image, table)) {
        if (!quantized.Quantize(image))
            throw EXpmError(Text::CannotHandleFormat);
        source = &quantized;
    }
    if (source->Bpp() <= 8) {
        table = {};
        for (int i = 0; i < source->PaletteCount(); ++i)
            table.colors.push_back(source->PaletteColor(static_cast<unsigned>(i)));
    }

    const auto count = static_cast<std::uint32_t>(table.colors.size());
    const int charsPerPixel = (std::bit_width(count) + 5) / 6;
    std::vector<std::string> codes;
    for (std::uint32_t i = 0; i < count; ++i)
        codes.push_back(CodeOf(i, charsPerPixel));

    const auto put = [&](const std::string& text) {
        if (stream.Write(text.data(), static_cast<std::int32_t>(text.size())) != static_cast<std::int32_t>(text.size()))
            ThrowWriteError();
    };
    const std::uint32_t width = source->Width();
    const std::uint32_t height = source->Height();
    std::string line = "/* XPM */\nstatic char * ";
    line += m_name.empty() ? std::string_view(kDefaultName) : std::string_view(m_name);
    line += "[] = {\n";
    put(line);
    char values[64];
    std::snprintf(values, sizeof values, "\"%u %u %u %i\",\n", width, height, count, charsPerPixel);
    put(values);
    // Where alpha marks some colours as transparent (an icon read from XPM, say), those are
    // written as "None", so that the background stays transparent in other programs too.
    const bool transparency = source->GetAlphaKind() == 2;
    for (std::uint32_t i = 0; i < count; ++i) {
        char colour[16];
        if (transparency && (table.colors[i] >> 24) == 0)
            std::snprintf(colour, sizeof colour, "None");
        else
            std::snprintf(colour, sizeof colour, "#%06X", table.colors[i] & 0xFFFFFFu);
        line.assign(1, '"');
        line += codes[i];
        line += "\tc ";
        line += colour;
        line += "\",\n";
        put(line);
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        Info().ReportProgress(static_cast<int>(std::uint64_t{y} * 99 / height));
        line.assign(1, '"');
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t value = source->GetPixelFn(x, y);
            const std::uint32_t index = table.indexOf.empty() ? value : table.indexOf.find(value)->second;
            line += codes[index < count ? index : 0];
        }
        line += y + 1 < height ? "\",\n" : "\"};\n";
        put(line);
    }
    Info().ReportProgress(100);
}
