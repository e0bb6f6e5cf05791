#pragma once
// Text in storage of a fixed size, so the reader thread can name ports without allocating.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

template <std::size_t Capacity>
class CFixedText {
public:
    // False (and the text left empty) when it does not fit.
    bool Assign(std::string_view text)
    {
        length_ = 0;
        return Append(text);
    }

    bool Append(std::string_view text)
    {
        if (text.size() > Capacity - length_) {
            length_ = 0;
            return false;
        }
        for (char c : text)
            chars_[length_++] = c;
        chars_[length_] = '\0';
        return true;
    }

    bool AppendNumber(std::int64_t value)
    {
        char digits[24];
        const int written = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
        return Append(std::string_view(digits, static_cast<std::size_t>(written)));
    }

    void Clear()
    {
        length_ = 0;
        chars_[0] = '\0';
    }

    std::string_view View() const { return {chars_.data(), length_}; }
    const char* CStr() const { return chars_.data(); }  // zero-terminated
    bool Empty() const { return length_ == 0; }

    friend bool operator==(const CFixedText& a, const CFixedText& b) { return a.View() == b.View(); }

private:
    std::array<char, Capacity + 1> chars_{};
    std::size_t length_ = 0;
};
