#include "store/PuzzleFile.h"

#include "store/PuzzleText.h"
#include "support/Cp1252.h"

#include <cstdint>
#include <fstream>
#include <system_error>

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsContinuationByte(char c)
{
    return (static_cast<std::uint8_t>(c) & 0xC0) == 0x80;
}

std::size_t SequenceLength(char lead)
{
    const auto byte = static_cast<std::uint8_t>(lead);
    if ((byte & 0xE0) == 0xC0)
        return 2;
    if ((byte & 0xF0) == 0xE0)
        return 3;
    if ((byte & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Drops a UTF-8 sequence that the read limit cut short, so the rest can still be recognised.
std::string_view WithoutCutSequence(std::string_view text)
{
    std::size_t lead = text.size();
    for (std::size_t back = 0; back < 4 && lead > 0; ++back) {
        --lead;
        if (!IsContinuationByte(text[lead])) {
            if (lead + SequenceLength(text[lead]) > text.size())
                return text.substr(0, lead);
            break;
        }
    }
    return text;
}

}  // namespace

std::string DecodePuzzleText(std::string_view bytes, bool truncated)
{
    // Whatever follows a zero byte is never read, so it must not sway the decision either.
    const std::size_t zero = bytes.find('\0');
    std::string_view text = bytes.substr(0, zero);
    std::string_view candidate = (truncated && zero == std::string_view::npos) ? WithoutCutSequence(text) : text;
    if (!LooksLikeUtf8(candidate))
        return std::string(text);
    if (candidate.starts_with(kUtf8ByteOrderMark))
        candidate.remove_prefix(kUtf8ByteOrderMark.size());
    return Utf8ToCp1252(candidate);
}

std::optional<CPuzzleFileText> ReadPuzzleFile(const std::filesystem::path& file)
{
    // A pipe or device under the name would block the game or feed it endlessly.
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;

    std::string bytes(kPuzzleTextMaxBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.empty())
        return std::nullopt;

    CPuzzleFileText result;
    result.Truncated = bytes.size() == kPuzzleTextMaxBytes && in.peek() != std::ifstream::traits_type::eof();
    result.Text = DecodePuzzleText(bytes, result.Truncated);
    return result;
}
