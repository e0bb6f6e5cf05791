#include "ui/PathTypeAhead.h"

namespace {

std::uint32_t PauseLimit(std::size_t length)
{
    if (length == 0)
        return 500;
    return length <= 2 ? 750 : 1000;
}

}  // namespace

void CPathTypeAhead::Type(char32_t c, std::uint32_t now)
{
    const std::uint32_t elapsed = now - last_;
    last_ = now;
    if (elapsed > PauseLimit(buffer_.size()))
        buffer_.clear();
    // Repeating a single letter steps through the names that begin with it.
    if (buffer_.size() == 1 && buffer_.front() == c)
        buffer_.clear();
    if (buffer_.size() < kMaxChars)
        buffer_.push_back(c);
}

std::optional<int> CPathTypeAhead::Find(int count, int selected, const std::function<std::u32string(int)>& textAt) const
{
    if (count <= 0 || buffer_.empty())
        return std::nullopt;
    int start = selected < 0 ? 0 : selected;
    if (buffer_.size() < 2 && selected >= 0)
        ++start;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        if (textAt(row).starts_with(buffer_))
            return row;
    }
    return std::nullopt;
}
