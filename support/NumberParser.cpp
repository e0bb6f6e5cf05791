#include "support/NumberParser.h"


namespace {

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

// The longest run of digits of the base at the front of text, saturated at 32 bits.
std::uint32_t ParseDigits(std::string_view text, int base)
{
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = DigitValue(c);
        if (digit >= base)
            break;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu)
            value = 0xFFFFFFFFu + std::uint64_t{1};  // stays above the limit
    }
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

std::string_view SkipBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

int PrefixBase(std::string_view text, std::string_view letters)
{
    if (text.size() < 2 || text[0] != '0')
        return 0;
    const char letter = static_cast<char>(text[1] | 0x20);
    const auto at = letters.find(letter);
    if (at == std::string_view::npos)
        return 0;
    constexpr int kBases[] = {16, 10, 8, 2};
    return kBases[std::string_view("xdob").find(letters[at])];
}

std::int32_t Signed(std::uint32_t magnitude, bool negative)
{
    return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

std::size_t RunLength(std::string_view text, std::string_view digits)
{
    const auto end = text.find_first_not_of(digits);
    return end == std::string_view::npos ? text.size() : end;
}

bool SuffixAfter(std::string_view text, std::size_t run, char suffix)
{
    return run > 0 && run < text.size() && (text[run] | 0x20) == suffix;
}

}  // namespace

std::int64_t ParseNumberWide(std::string_view text)
{
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int base = PrefixBase(text, "xdob");
    if (base != 0)
        text.remove_prefix(2);
    else
        base = 10;
    const std::int64_t magnitude = ParseDigits(text, base);
    return negative ? -magnitude : magnitude;
}

std::int32_t ParseNumber(std::string_view text)
{
    const std::int64_t wide = ParseNumberWide(text);
    return Signed(static_cast<std::uint32_t>(wide < 0 ? -wide : wide), wide < 0);
}

std::int32_t ParseNumberInput(std::string_view text)
{
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = PrefixBase(text, "xob");
    if (base != 0) {
        text.remove_prefix(2);
    } else if (SuffixAfter(text, RunLength(text, "0123456789abcdefABCDEF"), 'h')) {
        base = 16;
    } else if (SuffixAfter(text, RunLength(text, "01234567"), 'o')) {
        base = 8;
    } else if (SuffixAfter(text, RunLength(text, "01"), 'b')) {
        base = 2;
    } else {
        base = 10;
    }
    return Signed(ParseDigits(text, base), negative);
}

std::string FormatNumber(std::int32_t value, int format)
{
    const auto bits = static_cast<std::uint32_t>(value);
    auto inBase = [bits](unsigned base) {
        std::string digits;
        std::uint32_t rest = bits;
        do {
            digits.insert(digits.begin(), "0123456789ABCDEF"[rest % base]);
            rest /= base;
        } while (rest != 0);
        return digits;
    };
    switch (format) {
    case 0: return std::to_string(value);
    case 1: return "0x" + inBase(16);
    case 2: return "0b" + inBase(2);
    case 3: return "0o" + inBase(8);
    case 4: return inBase(16) + "h";
    case 5: return inBase(2) + "b";
    case 6: return inBase(8) + "o";
    default: return std::to_string(bits);
    }
}
