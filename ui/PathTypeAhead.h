#pragma once
// Type-ahead search in the folder list. The search text grows while the user types quickly and
// starts afresh after a pause, whose allowed length grows with the text: a short prefix is
// usually a first letter being repeated, a long one a name being spelled out.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CPathTypeAhead {
public:
    static constexpr std::size_t kMaxChars = 8;

    // Adds a typed character (lower-cased UTF-32) at the given millisecond tick.
    void Type(char32_t c, std::uint32_t now);

    const std::u32string& Buffer() const { return buffer_; }

    // The row to select among count rows, or nothing when no row begins with the buffer.
    // textAt(row) returns a row's text lower-cased. Starts at the selected row, or at the
    // next one while the buffer is shorter than two characters, and wraps once.
    std::optional<int> Find(int count, int selected, const std::function<std::u32string(int)>& textAt) const;

private:
    std::u32string buffer_;
    std::uint32_t last_ = 0;
};
