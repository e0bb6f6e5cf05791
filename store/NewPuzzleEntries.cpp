#include "store/NewPuzzleEntries.h"

#include "support/NumberParser.h"

#include <filesystem>
#include <system_error>

int PuzzleNumberFromText(std::string_view text)
{
    const std::int64_t number = ParseNumberWide(text);
    if (number < 1)
        return 1;
    if (number > kLastPuzzleNumber)
        return kLastPuzzleNumber + 1;
    return static_cast<int>(number);
}

std::optional<std::string_view> CheckNewPuzzleEntries(const CNewPuzzleEntries& entries)
{
    if (!entries.PicturePath.empty()) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(entries.PicturePath, error))
            return kNeedPictureText;
    }
    if (entries.Question.empty())
        return kNeedQuestionText;
    if (entries.Answer.empty())
        return kNeedAnswerText;
    return std::nullopt;
}
