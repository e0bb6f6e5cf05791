#include "game/AnswerLayout.h"

#include <algorithm>

namespace {

constexpr int kBevelWidth = 6;
constexpr int kMaxRows = 4;

}  // namespace

SAnswerLayout ComputeAnswerLayout(int width, int height, int starColumnWidth, int lineCount, int widestLine)
{
    SAnswerLayout layout;
    layout.areaWidth = width - 2 * (starColumnWidth + kBevelWidth);
    layout.areaHeight = height - kAnswerAreaTop;
    layout.cellWidth = widestLine > 0 ? std::clamp((layout.areaWidth - 40) / widestLine, 10, 64) : 10;
    layout.cellHeight = layout.cellWidth * 100 / 56;
    layout.block = lineCount * (layout.cellHeight + layout.Half());
    layout.centerX = width / 2;
    return layout;
}

int SAnswerLayout::FreeSpace(int pictureHeight) const
{
    return std::max(areaHeight - pictureHeight - block + Half(), kMinFreeSpace);
}

int SAnswerLayout::PictureY(int pictureHeight) const
{
    const int free = FreeSpace(pictureHeight);
    return free / 3 + kAnswerAreaTop + block - Half() + free / 3;
}

SAnswerRows SplitAnswerRows(std::string_view text)
{
    SAnswerRows rows;
    std::size_t position = 0;
    while (position < text.size() && rows.count < kMaxRows) {
        const std::size_t bar = std::min(text.find('|', position), text.size());
        const auto length = static_cast<std::int32_t>(bar - position);
        rows.start[rows.count] = static_cast<std::int32_t>(position);
        rows.length[rows.count] = length;
        rows.widest = std::max(rows.widest, length);
        ++rows.count;
        position = bar < text.size() ? bar + 1 : bar;
    }
    return rows;
}
