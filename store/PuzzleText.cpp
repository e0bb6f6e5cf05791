#include "store/PuzzleText.h"

#include "support/ClassTable.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

bool IsLineEnd(char c)
{
    return HasClass(static_cast<std::uint8_t>(c), kClassLineEnd);
}

bool IsBlank(char c)
{
    return HasClass(static_cast<std::uint8_t>(c), kClassBlank);
}

bool IsDigit(char c)
{
    return HasClass(static_cast<std::uint8_t>(c), kClassDigit);
}

// The text as the loader's fixed buffer holds it: at most kPuzzleTextMaxBytes, up to a zero byte.
std::string_view EffectiveText(std::string_view text)
{
    text = text.substr(0, kPuzzleTextMaxBytes);
    return text.substr(0, text.find('\0'));
}

std::size_t LineLength(std::string_view text, std::size_t from)
{
    std::size_t end = from;
    while (end < text.size() && !IsLineEnd(text[end]))
        ++end;
    return end - from;
}

// The number after "@": white space skipped, an optional sign, then decimal digits. Values beyond
// 32 bits saturate, which the clamp below turns into the same result as any other large value.
std::int32_t ReadPrefixNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (IsBlank(text[i]) || IsLineEnd(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min(kLimit, value * 10 + (text[i] - '0'));
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, kLimit - 1));
}

std::string CutToField(std::string_view text)
{
    return std::string(text.substr(0, kPuzzleLineMaxBytes));
}

}  // namespace

CPuzzleLines ParsePuzzleLines(std::string_view text)
{
    text = EffectiveText(text);
    CPuzzleLines lines;
    const std::size_t questionLength = LineLength(text, 0);
    lines.Question = std::string(text.substr(0, questionLength));
    if (questionLength == text.size())
        return lines;  // no line end: a question without answers

    // The first answer keeps its leading blanks: only the line break after the question is skipped.
    std::size_t p = questionLength;
    while (p < text.size() && IsLineEnd(text[p]))
        ++p;
    for (;;) {
        const std::size_t length = LineLength(text, p);
        lines.Candidates.emplace_back(text.substr(p, length));
        // Later lines lose their leading blanks, so blank and empty lines vanish between them.
        std::size_t q = p + length;
        while (q < text.size() && (IsLineEnd(text[q]) || IsBlank(text[q])))
            ++q;
        if (q >= text.size())
            break;
        p = q;
    }
    return lines;
}

CAnswerLine SplitSwitchTimePrefix(std::string_view candidate, std::uint32_t defaultSwitchTime)
{
    if (candidate.empty() || candidate.front() != '@')
        return {candidate, defaultSwitchTime, false};

    const std::string_view afterAt = candidate.substr(1);
    // Compared as unsigned, so a negative number is large and ends at the maximum.
    const auto number = static_cast<std::uint32_t>(ReadPrefixNumber(afterAt));
    const std::uint32_t switchTime = std::clamp(number, kSwitchTimeOverrideMin, kSwitchTimeOverrideMax);

    // Only digits right after "@" belong to the prefix; "@ 3000 x" keeps "3000 x" as its answer.
    std::size_t start = 0;
    while (start < afterAt.size() && IsDigit(afterAt[start]))
        ++start;
    while (start < afterAt.size() && IsBlank(afterAt[start]))
        ++start;
    return {afterAt.substr(start), switchTime, true};
}

CPuzzleText DrawPuzzleText(const CPuzzleLines& lines, std::uint32_t defaultSwitchTime, CRandom& random)
{
    CPuzzleText result{CutToField(lines.Question), {}, defaultSwitchTime};
    if (lines.Candidates.empty())
        return result;
    const auto drawn = static_cast<std::size_t>(random.Next()) % lines.Candidates.size();
    const CAnswerLine answer = SplitSwitchTimePrefix(lines.Candidates[drawn], defaultSwitchTime);
    result.Answer = CutToField(answer.Text);
    result.CurSwitchTime = answer.SwitchTime;
    return result;
}
