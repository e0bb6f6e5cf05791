#include "imaging/formats/xpm/XpmReader.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/xpm/XpmColorNames.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace Text = GraphicsText::Xpm;

constexpr std::size_t kMaxCharsPerPixel = 4;
// A bound far above what pictures use; for most headers the file's size is the tighter one.
constexpr std::uint64_t kMaxColors = 1u << 20;
// Shortest colour line: quote, code, key, blank, one-character value, quote.
constexpr std::uint64_t kMinColorLineExtra = 5;

[[noreturn]] void Fail(const char* message)
{
    throw EXpmError(message);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsIdentifier(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string ReadAll(CDataStream& stream)
{
    std::string text;
    std::array<char, 65536> chunk;
    for (;;) {
        const std::int32_t got = stream.Read(chunk.data(), static_cast<std::int32_t>(chunk.size()));
        if (got < 0)
            Fail(Text::ReadFailed);
        if (got == 0)
            return text;
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

// The C source around the strings: blanks, comments, the declaration and the strings themselves.
class CXpmSource
{
public:
    explicit CXpmSource(std::string_view text) : m_text(text) {}

    // "/* XPM */", then "[static] [const] char <declarator> = {".
    void ReadHeader()
    {
        while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
            ++m_pos;
        if (m_text.substr(m_pos, 2) != "/*")
            Fail(Text::UnknownFormat);
        const std::size_t end = m_text.find("*/", m_pos + 2);
        if (end == std::string_view::npos || Trimmed(m_text.substr(m_pos + 2, end - m_pos - 2)) != "XPM")
            Fail(Text::UnknownFormat);
        m_pos = end + 2;
        AcceptWord("static");
        AcceptWord("const");
        if (!AcceptWord("char"))
            Fail(Text::UnknownFormat);
        for (;;) {
            SkipBlanksAndComments();
            if (m_pos >= m_text.size())
                Fail(Text::UnknownFormat);
            const char c = m_text[m_pos++];
            if (c == '{')
                return;
            if (!IsIdentifier(c) && c != '*' && c != '[' && c != ']' && c != '=')
                Fail(Text::UnknownFormat);
        }
    }

    // The next string of the array, or nothing at its end.
    std::optional<std::string_view> NextString()
    {
        for (;;) {
            SkipBlanksAndComments();
            if (m_pos < m_text.size() && m_text[m_pos] == ',')
                ++m_pos;
            else
                break;
        }
        if (m_pos >= m_text.size() || m_text[m_pos] == '}')
            return std::nullopt;
        if (m_text[m_pos] != '"')
            Fail(Text::FileError);
        const std::size_t end = m_text.find('"', m_pos + 1);
        if (end == std::string_view::npos)
            Fail(Text::FileError);
        const std::string_view string = m_text.substr(m_pos + 1, end - m_pos - 1);
        m_pos = end + 1;
        return string;
    }

    std::uint64_t Remaining() const { return m_text.size() - m_pos; }

private:
    static std::string_view Trimmed(std::string_view text)
    {
        while (!text.empty() && IsBlank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && IsBlank(text.back()))
            text.remove_suffix(1);
        return text;
    }

    void SkipBlanksAndComments()
    {
        for (;;) {
            while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
                ++m_pos;
            if (m_text.substr(m_pos, 2) != "/*")
                return;
            const std::size_t end = m_text.find("*/", m_pos + 2);
            if (end == std::string_view::npos)
                Fail(Text::FileError);
            m_pos = end + 2;
        }
    }

    bool AcceptWord(std::string_view word)
    {
        SkipBlanksAndComments();
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        const std::size_t after = m_pos + word.size();
        if (after < m_text.size() && IsIdentifier(m_text[after]))
            return false;
        m_pos = after;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

struct XpmValues
{
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint64_t colors = 0;
    std::uint64_t charsPerPixel = 0;
};

XpmValues ParseValues(std::string_view line)
{
    std::array<std::uint64_t, 4> numbers{};
    std::size_t pos = 0;
    for (auto& number : numbers) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        if (pos >= line.size() || line[pos] < '0' || line[pos] > '9')
            Fail(Text::FileError);
        for (; pos < line.size() && line[pos] >= '0' && line[pos] <= '9'; ++pos) {
            number = number * 10 + static_cast<std::uint64_t>(line[pos] - '0');
            if (number > 0xFFFFFFFFu)
                Fail(Text::FileError);
        }
    }
    return {numbers[0], numbers[1], numbers[2], numbers[3]};
}

// X11 spells a colour as "#" with 1 to 4 hex digits per channel, scaled here to 8 bits.
std::optional<std::uint32_t> ParseHexColor(std::string_view digits)
{
    if (digits.empty() || digits.size() % 3 != 0 || digits.size() > 12)
        return std::nullopt;
    const std::size_t perChannel = digits.size() / 3;
    std::uint32_t rgb = 0;
    for (std::size_t channel = 0; channel < 3; ++channel) {
        std::uint32_t value = 0;
        for (const char c : digits.substr(channel * perChannel, perChannel)) {
            const char l = Lower(c);
            if (l >= '0' && l <= '9')
                value = value * 16 + static_cast<std::uint32_t>(l - '0');
            else if (l >= 'a' && l <= 'f')
                value = value * 16 + static_cast<std::uint32_t>(l - 'a' + 10);
            else
                return std::nullopt;
        }
        const std::uint32_t largest = (1u << (4 * perChannel)) - 1;
        const std::uint32_t byte = (value * 255 + largest / 2) / largest;
        rgb = rgb << 8 | byte;
    }
    return rgb;
}

struct XpmColor
{
    bool transparent = false;
    std::uint32_t rgb = 0;
};

XpmColor ParseColorValue(std::string_view value)
{
    if (EqualsIgnoringCase(value, "none"))
        return {true, 0};
    std::optional<std::uint32_t> rgb =
        value.starts_with('#') ? ParseHexColor(value.substr(1)) : FindXpmColorName(value);
    if (!rgb)
        Fail(Text::ColorFormatNotSupported);
    return {false, *rgb};
}

bool IsKey(std::string_view word)
{
    return word == "c" || word == "g" || word == "g4" || word == "m" || word == "s";
}

// The rest of a colour line after the code: pairs of a key and a value of one or more words. The
// colour visual's value wins over the grey ones and those over mono; "s" names a symbol, no colour.
XpmColor ParseColorKeys(std::string_view rest)
{
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < rest.size()) {
        while (pos < rest.size() && IsBlank(rest[pos]))
            ++pos;
        const std::size_t start = pos;
        while (pos < rest.size() && !IsBlank(rest[pos]))
            ++pos;
        if (pos > start)
            words.push_back(rest.substr(start, pos - start));
    }
    if (words.empty() || !IsKey(words.front()))
        Fail(Text::ColorFormatNotSupported);

    static constexpr std::string_view kPreferred[] = {"c", "g", "g4", "m"};
    std::array<std::string, 4> values;
    std::array<bool, 4> present{};
    std::size_t current = std::size(kPreferred);  // the key whose value is being read; none for "s"
    for (const std::string_view word : words) {
        if (IsKey(word)) {
            current = static_cast<std::size_t>(std::find(std::begin(kPreferred), std::end(kPreferred), word) -
                                               std::begin(kPreferred));
            if (current < values.size()) {
                // A key given twice: the first one counts.
                if (present[current])
                    current = values.size();
                else
                    present[current] = true;
            }
        } else if (current < values.size()) {
            // Names with blanks ("light grey") are the table's names without them.
            values[current] += word;
        }
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        if (present[i])
            return ParseColorValue(values[i]);
    Fail(Text::ColorFormatNotSupported);
}

std::uint32_t PackCode(const char* code, std::size_t length)
{
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < length; ++i)
        packed |= std::uint32_t{static_cast<unsigned char>(code[i])} << (8 * i);
    return packed;
}

// Finds a colour's index by its code; runs of equal pixels ask for the same code again.
class CXpmCodeTable
{
public:
    void Add(std::uint32_t code, std::uint32_t index) { m_entries.push_back({code, index}); }
    // Equal codes: the first definition counts.
    void Finish()
    {
        std::stable_sort(m_entries.begin(), m_entries.end(),
                         [](const Entry& a, const Entry& b) { return a.code < b.code; });
    }
    std::uint32_t IndexOf(std::uint32_t code)
    {
        if (m_lastValid && code == m_lastCode)
            return m_lastIndex;
        const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), code,
                                            [](const Entry& e, std::uint32_t c) { return e.code < c; });
        if (found == m_entries.end() || found->code != code)
            Fail(Text::FileError);
        m_lastValid = true;
        m_lastCode = code;
        m_lastIndex = found->index;
        return m_lastIndex;
    }

private:
    struct Entry
    {
        std::uint32_t code;
        std::uint32_t index;
    };
    std::vector<Entry> m_entries;
    bool m_lastValid = false;
    std::uint32_t m_lastCode = 0;
    std::uint32_t m_lastIndex = 0;
};

void SetUpImage(CGraphicsImage& image, const XpmValues& values, const std::vector<XpmColor>& colors)
{
    const bool anyTransparent =
        std::any_of(colors.begin(), colors.end(), [](const XpmColor& c) { return c.transparent; });
    const auto width = static_cast<std::uint32_t>(values.width);
    const auto height = static_cast<std::uint32_t>(values.height);
    if (colors.size() > 256) {
        image.CreateOrThrow(anyTransparent ? 32 : 24, width, height, CGraphicsImage::NoFill);
        return;
    }
    image.CreateOrThrow(8, width, height, CGraphicsImage::NoFill);
    // Palette alpha means something only where one entry is transparent: then the rest are opaque.
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const std::uint32_t alpha = colors[i].transparent ? 0u : anyTransparent ? 0xFF000000u : 0u;
        image.SetPaletteColor(static_cast<unsigned>(i), colors[i].transparent ? 0u : colors[i].rgb | alpha);
    }
}

void StorePixel(std::uint8_t* row, std::uint32_t x, int bpp, std::uint32_t index, const XpmColor& color)
{
    switch (bpp) {
    case 8:
        row[x] = static_cast<std::uint8_t>(index);
        break;
    case 24:
        row[3 * x] = static_cast<std::uint8_t>(color.rgb);
        row[3 * x + 1] = static_cast<std::uint8_t>(color.rgb >> 8);
        row[3 * x + 2] = static_cast<std::uint8_t>(color.rgb >> 16);
        break;
    default: {
        const std::uint32_t bgra = color.transparent ? 0u : color.rgb | 0xFF000000u;
        std::memcpy(row + 4 * x, &bgra, 4);
        break;
    }
    }
}

}  // namespace

std::optional<std::uint32_t> FindXpmColorName(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    const auto found = std::lower_bound(kXpmColorNames.begin(), kXpmColorNames.end(), lower,
                                        [](const XpmColorName& entry, const std::string& key) { return entry.name < key; });
    if (found == kXpmColorNames.end() || found->name != lower)
        return std::nullopt;
    return found->rgb;
}

void CXpmReader::ThrowOpenError() const
{
    Fail(Text::OpenFailed);
}

void CXpmReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    Info().ReportProgress(0);
    const std::string text = ReadAll(stream);
    CXpmSource source(text);
    source.ReadHeader();

    const std::optional<std::string_view> valuesLine = source.NextString();
    if (!valuesLine)
        Fail(Text::FileError);
    const XpmValues values = ParseValues(*valuesLine);
    if (values.width == 0 || values.height == 0)
        Fail(Text::FileError);
    if (values.width > CGraphicsImage::MaxDimension || values.height > CGraphicsImage::MaxDimension)
        throw EGraphicsPicSize();
    if (values.charsPerPixel == 0 || values.charsPerPixel > kMaxCharsPerPixel)
        Fail(Text::CannotHandleFormat);
    const std::size_t cpp = static_cast<std::size_t>(values.charsPerPixel);
    if (values.colors == 0 || values.colors * (cpp + kMinColorLineExtra) > source.Remaining())
        Fail(Text::TooFewColors);
    if (values.colors > kMaxColors)
        Fail(Text::TooManyColors);

    std::vector<XpmColor> colors;
    CXpmCodeTable codes;
    for (std::uint64_t i = 0; i < values.colors; ++i) {
        const std::optional<std::string_view> line = source.NextString();
        if (!line)
            Fail(Text::TooFewColors);
        if (line->size() < cpp)
            Fail(Text::FileError);
        codes.Add(PackCode(line->data(), cpp), static_cast<std::uint32_t>(i));
        colors.push_back(ParseColorKeys(line->substr(cpp)));
    }
    codes.Finish();

    // Every row is a string of width codes: a file too short for them is refused before the
    // pixels are allocated.
    if (values.height * (values.width * cpp + 2) > source.Remaining())
        Fail(Text::FileError);
    SetUpImage(image, values, colors);

    const std::uint32_t width = image.Width();
    const std::uint32_t height = image.Height();
    for (std::uint32_t y = 0; y < height; ++y) {
        Info().ReportProgress(static_cast<int>(std::uint64_t{y} * 100 / height));
        const std::optional<std::string_view> line = source.NextString();
        if (!line || line->size() < std::size_t{width} * cpp)
            Fail(Text::FileError);
        std::uint8_t* row = image.Row(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t index = codes.IndexOf(PackCode(line->data() + std::size_t{x} * cpp, cpp));
            StorePixel(row, x, image.Bpp(), index, colors[index]);
        }
    }
    Info().ReportProgress(100);
}
