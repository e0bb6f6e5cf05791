#include "imaging/formats/eps/EpsReader.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/tiff/TiffReader.h"
#include "support/ByteOrder.h"
#include "support/DataStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint8_t kDosEpsMagic[4] = {0xC5, 0xD0, 0xD3, 0xC6};
constexpr std::int32_t kLeadBytes = 32;
// Operands kept while scanning; an image operator needs at most eight of them.
constexpr std::size_t kMaxOperands = 64;

bool IsWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0';
}

bool IsDelimiter(char c)
{
    return IsWhite(c) || std::strchr("()<>[]{}/%", c) != nullptr;
}

// One operand of the scan: only what the image operators take is told apart.
struct Operand
{
    enum Kind
    {
        Number,
        Boolean,
        Mark,
        Array,
        Other,
    } kind = Other;
    double number = 0;
    std::vector<double> numbers;  // an array of numbers
};

// What an image or colorimage operator was given.
struct EpsImage
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 1;
    int bits = 8;
    bool separatePlanes = false;  // colorimage with one procedure per colour
    bool topDown = true;
};

class PostScriptScan
{
public:
    explicit PostScriptScan(std::string_view text) : m_text(text) {}

    // Finds the first image operator whose operands the scan understood; afterwards Position()
    // is where its samples begin.
    std::optional<EpsImage> FindImage();
    std::size_t Position() const { return m_pos; }

private:
    void SkipComment();
    void SkipString();
    void SkipHexString();
    void SkipProcedure();
    std::string_view Token();
    void Push(Operand operand)
    {
        if (m_stack.size() == kMaxOperands)
            m_stack.erase(m_stack.begin());
        m_stack.push_back(std::move(operand));
    }
    void CloseArray();
    std::optional<EpsImage> TakeImage(bool colour) const;

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::vector<Operand> m_stack;
};

void PostScriptScan::SkipComment()
{
    while (m_pos < m_text.size() && m_text[m_pos] != '\n' && m_text[m_pos] != '\r')
        ++m_pos;
}

void PostScriptScan::SkipString()
{
    int depth = 1;
    ++m_pos;
    while (m_pos < m_text.size() && depth > 0) {
        const char c = m_text[m_pos++];
        if (c == '\\')
            ++m_pos;
        else if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
    }
}

void PostScriptScan::SkipHexString()
{
    const std::size_t end = m_text.find('>', m_pos);
    m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
}

void PostScriptScan::SkipProcedure()
{
    int depth = 1;
    ++m_pos;
    while (m_pos < m_text.size() && depth > 0) {
        const char c = m_text[m_pos];
        if (c == '%') {
            SkipComment();
        } else if (c == '(') {
            SkipString();
        } else {
            depth += c == '{' ? 1 : c == '}' ? -1 : 0;
            ++m_pos;
        }
    }
}

std::string_view PostScriptScan::Token()
{
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !IsDelimiter(m_text[m_pos]))
        ++m_pos;
    return m_text.substr(start, m_pos - start);
}

void PostScriptScan::CloseArray()
{
    Operand array;
    array.kind = Operand::Array;
    while (!m_stack.empty() && m_stack.back().kind != Operand::Mark) {
        if (m_stack.back().kind != Operand::Number)
            array.kind = Operand::Other;
        array.numbers.insert(array.numbers.begin(), m_stack.back().number);
        m_stack.pop_back();
    }
    if (!m_stack.empty())
        m_stack.pop_back();
    Push(std::move(array));
}

std::optional<EpsImage> PostScriptScan::TakeImage(bool colour) const
{
    // image:      width height bits matrix proc
    // colorimage: width height bits matrix proc... multi components
    EpsImage image;
    std::size_t top = m_stack.size();
    auto next = [&]() -> const Operand* { return top > 0 ? &m_stack[--top] : nullptr; };
    int procedures = 1;
    if (colour) {
        const Operand* components = next();
        const Operand* multi = next();
        if (components == nullptr || multi == nullptr || components->kind != Operand::Number ||
            multi->kind != Operand::Boolean)
            return std::nullopt;
        if (components->number != 1 && components->number != 3 && components->number != 4)
            return std::nullopt;
        image.components = int(components->number);
        image.separatePlanes = multi->number != 0 && image.components > 1;
        procedures = image.separatePlanes ? image.components : 1;
    }
    for (int i = 0; i < procedures; ++i)
        if (next() == nullptr)
            return std::nullopt;
    const Operand* matrix = next();
    const Operand* bits = next();
    const Operand* height = next();
    const Operand* width = next();
    if (width == nullptr || matrix->kind != Operand::Array || matrix->numbers.size() != 6)
        return std::nullopt;
    for (const Operand* n : {bits, height, width})
        if (n->kind != Operand::Number || n->number != std::floor(n->number) || n->number < 1 ||
            n->number > CGraphicsImage::MaxDimension)
            return std::nullopt;
    image.width = std::uint32_t(width->number);
    image.height = std::uint32_t(height->number);
    image.bits = int(bits->number);
    // The matrix maps the picture onto the unit square; a negative d runs the rows top down.
    image.topDown = matrix->numbers[3] < 0;
    return image;
}

std::optional<EpsImage> PostScriptScan::FindImage()
{
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (IsWhite(c)) {
            ++m_pos;
        } else if (c == '%') {
            SkipComment();
        } else if (c == '(') {
            SkipString();
            Push({});
        } else if (c == '<' && m_text.substr(m_pos, 2) != "<<") {
            SkipHexString();
            Push({});
        } else if (c == '{') {
            SkipProcedure();
            Push({});
        } else if (c == '[') {
            ++m_pos;
            Push({Operand::Mark});
        } else if (c == ']') {
            ++m_pos;
            CloseArray();
        } else if (c == '/' || c == '<' || c == '>' || c == ')' || c == '}') {
            m_pos += c == '/' ? 1 : (m_text.substr(m_pos, 2) == "<<" || m_text.substr(m_pos, 2) == ">>") ? 2 : 1;
            Token();
            Push({});
        } else {
            const std::string_view token = Token();
            Operand operand;
            double number = 0;
            const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
            if (error == std::errc() && end == token.data() + token.size()) {
                operand.kind = Operand::Number;
                operand.number = number;
            } else if (token == "true" || token == "false") {
                operand.kind = Operand::Boolean;
                operand.number = token == "true" ? 1 : 0;
            } else if (token == "image" || token == "colorimage") {
                if (auto image = TakeImage(token == "colorimage")) {
                    // The samples begin after the one delimiter that ends the operator's name.
                    if (m_pos < m_text.size())
                        ++m_pos;
                    return image;
                }
            }
            Push(std::move(operand));
        }
    }
    return std::nullopt;
}

// Hexadecimal samples, two digits a byte, white space anywhere between the digits.
class HexSamples
{
public:
    HexSamples(std::string_view text, std::size_t pos) : m_text(text), m_pos(pos) {}

    void Read(std::uint8_t* out, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = std::uint8_t(Digit() << 4 | Digit());
    }

private:
    unsigned Digit()
    {
        while (m_pos < m_text.size() && IsWhite(m_text[m_pos]))
            ++m_pos;
        if (m_pos == m_text.size())
            throw EEpsCorruptFile();
        const char c = m_text[m_pos++];
        if (c >= '0' && c <= '9')
            return unsigned(c - '0');
        if (c >= 'a' && c <= 'f')
            return unsigned(c - 'a' + 10);
        if (c >= 'A' && c <= 'F')
            return unsigned(c - 'A' + 10);
        throw EEpsCorruptFile();
    }

    std::string_view m_text;
    std::size_t m_pos;
};

void ReadSamples(std::string_view text, const CGraphicsCodecInfo& info, CGraphicsImage& image)
{
    PostScriptScan scan(text);
    const std::optional<EpsImage> found = scan.FindImage();
    if (!found)
        throw EEpsCorruptFile();
    const EpsImage& eps = *found;
    const bool grey = eps.components == 1 && (eps.bits == 1 || eps.bits == 8);
    if (!grey && !(eps.components == 3 && eps.bits == 8))
        throw EEpsNotSupported();
    const std::uint64_t rowBytes = (std::uint64_t(eps.components) * eps.width * std::uint64_t(eps.bits) + 7) / 8;
    // Two digits a byte: a file with fewer characters left cannot hold the picture it claims.
    if (rowBytes * eps.height * 2 > text.size() - scan.Position())
        throw EEpsCorruptFile();
    const int bpp = eps.components == 3 ? 24 : eps.bits;
    if (!image.Create(bpp, eps.width, eps.height, CGraphicsImage::NoFill))
        throw EEpsUnknownError();
    if (bpp == 1) {
        image.SetPaletteRGB(0, 0, 0, 0);
        image.SetPaletteRGB(1, 255, 255, 255);
    } else if (bpp == 8) {
        for (unsigned i = 0; i < 256; ++i)
            image.SetPaletteRGB(i, std::uint8_t(i), std::uint8_t(i), std::uint8_t(i));
    }

    HexSamples hex(text, scan.Position());
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
    const std::uint32_t width = eps.width;
    for (std::uint32_t r = 0; r < eps.height; ++r) {
        info.ReportProgress(int(std::uint64_t(r) * 100 / eps.height));
        hex.Read(row.data(), row.size());
        std::uint8_t* target = image.Row(eps.topDown ? r : eps.height - 1 - r);
        if (bpp != 24) {
            std::memcpy(target, row.data(), row.size());
            continue;
        }
        for (std::uint32_t x = 0; x < width; ++x, target += 3) {
            if (eps.separatePlanes) {
                target[0] = row[2 * std::size_t(width) + x];
                target[1] = row[width + x];
                target[2] = row[x];
            } else {
                target[0] = row[3 * x + 2];
                target[1] = row[3 * x + 1];
                target[2] = row[3 * x];
            }
        }
    }
    info.ReportProgress(100);
}

std::vector<char> ReadSection(CDataStream& stream, std::int32_t start, std::uint32_t offset, std::uint32_t length)
{
    std::vector<char> bytes(length);
    if (stream.Seek(start + std::int32_t(offset), 0) < 0 ||
        (length > 0 && !ReadFully(stream, bytes.data(), length)))
        throw EEpsFileReadError();
    return bytes;
}

}  // namespace

void CEpsReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    const std::int32_t start = stream.Tell();
    const std::int32_t end = stream.Size();
    const std::uint32_t fileSize = start >= 0 && end > start ? std::uint32_t(end - start) : 0;
    std::uint8_t lead[kLeadBytes];
    ReadExactly<EEpsFileReadError>(stream, lead, kLeadBytes);

    std::vector<char> text;
    if (std::equal(std::begin(kDosEpsMagic), std::end(kDosEpsMagic), lead)) {
        // A DOS EPS binary: the PostScript section, perhaps a Windows metafile and a TIFF preview.
        const std::uint32_t psOffset = LoadLE32(lead + 4), psLength = LoadLE32(lead + 8);
        const std::uint32_t tiffOffset = LoadLE32(lead + 20), tiffLength = LoadLE32(lead + 24);
        auto inFile = [fileSize](std::uint32_t offset, std::uint32_t length) {
            return offset <= fileSize && length <= fileSize - offset;
        };
        if (tiffOffset != 0) {
            if (!inFile(tiffOffset, tiffLength))
                throw EEpsCorruptFile();
            std::vector<char> preview = ReadSection(stream, start, tiffOffset, tiffLength);
            CDataStream memory;
            if (!memory.OpenMemory(preview.data(), std::int32_t(preview.size()), 0))
                throw EEpsFileReadError();
            CTiffReader tiff;
            tiff.Info().SetProgressCallback(Info().GetProgressCallback(), Info().GetProgressUserData());
            tiff.Read(memory, image);
            return;
        }
        if (!inFile(psOffset, psLength))
            throw EEpsCorruptFile();
        text = ReadSection(stream, start, psOffset, psLength);
    } else {
        if (lead[0] != '%' || lead[1] != '!')
            throw EEpsNotAEpsFile();
        text = ReadSection(stream, start, 0, fileSize);
    }
    ReadSamples({text.data(), text.size()}, Info(), image);
}

void CEpsReader::ThrowOpenError() const
{
    throw EEpsFileOpenError();
}
