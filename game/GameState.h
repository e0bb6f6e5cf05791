#pragma once
// The state of the puzzle on screen and of the two players. The engine changes it, the renderer
// draws from it. Texts are Windows-1252 bytes in fixed 256-byte fields ending with a zero.

#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>

inline constexpr std::size_t kTextFieldSize = 256;
inline constexpr int kMaxAnswerRows = 4;

inline constexpr int kSwitchTimeMin = 2000;
inline constexpr int kSwitchTimeMax = 10000;
inline constexpr int kSwitchTimeDefault = 5000;

// PlayerState values: the colour of a player's star column.
enum : std::uint8_t {
    kPlayerNeutral = 0,
    kPlayerStoppedClock = 1,
    kPlayerTimedOut = 2,
};

struct CGameState {
    // Puzzle text.
    std::array<char, kTextFieldSize> Question{};
    std::array<char, kTextFieldSize> Answer{};  // "|" separates display rows
    std::array<std::uint8_t, kTextFieldSize> Shown{};  // per byte of Answer: 1 visible, 0 covered
    std::array<std::int32_t, kMaxAnswerRows> LineStart{};
    std::array<std::int32_t, kMaxAnswerRows> LineLength{};
    std::int32_t LineCount = 0;
    std::int32_t CoveredCount = 0;
    std::int32_t WidestLine = 0;

    // Play state. Stopped and PlayerState are also written by the remote's reader thread.
    std::int32_t Running = 0;
    std::array<std::atomic<std::uint8_t>, 2> Stopped{};
    std::array<std::atomic<std::uint8_t>, 2> PlayerState{};
    std::array<std::uint8_t, 2> Stars{};
    std::int32_t StarModulus = 8;
    std::int32_t GameNumber = 0;

    // Timing, in milliseconds of the tick count, compared by unsigned difference.
    std::int32_t SwitchTime = kSwitchTimeDefault;
    std::uint32_t CurSwitchTime = kSwitchTimeDefault;
    std::uint32_t LastSwitchTick = 0;
    std::uint32_t LastSecondTick = 0;
    std::int32_t SecTicker = 1;
    std::uint32_t PuzzleStartTick = 0;  // when the puzzle in play was started

    // Redraw requests, cleared by the renderer once drawn.
    std::int32_t QuestionDirty = 1;
    std::int32_t AnswerDirty = 1;

    std::string_view QuestionText() const { return FieldText(Question); }
    std::string_view AnswerText() const { return FieldText(Answer); }

    bool AnyStopped() const { return Stopped[0].load() != 0 || Stopped[1].load() != 0; }
    bool AnyTimedOut() const
    {
        return PlayerState[0].load() == kPlayerTimedOut || PlayerState[1].load() == kPlayerTimedOut;
    }

private:
    static std::string_view FieldText(const std::array<char, kTextFieldSize>& field)
    {
        const std::string_view all(field.data(), field.size());
        return all.substr(0, all.find('\0'));
    }
};

// Copies at most 255 bytes of text (up to a zero byte in it) into a text field and ends it.
inline void SetFieldText(std::array<char, kTextFieldSize>& field, std::string_view text)
{
    text = text.substr(0, text.find('\0')).substr(0, kTextFieldSize - 1);
    text.copy(field.data(), text.size());
    field[text.size()] = '\0';
}
