#pragma once
// Where the answer area puts its letter cells and the puzzle picture, for a client size, a star
// column width and the shape of the answer. The renderer draws by it; the picture worker fits the
// next puzzle's picture by it before that puzzle is on screen.

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr int kAnswerAreaTop = 42;
// The free space never shrinks below this; a picture taller than what it leaves is fitted.
inline constexpr int kMinFreeSpace = 30;

// The largest picture the answer area shows at its own size; larger ones are scaled down into it.
struct SPictureBox {
    int width = 0;
    int height = 0;
    bool operator==(const SPictureBox&) const = default;
    bool Holds(int w, int h) const { return w <= width && h <= height; }
    bool IsEmpty() const { return width < 1 || height < 1; }
};

struct SAnswerLayout {
    int areaWidth = 0;
    int areaHeight = 0;
    int cellWidth = 10;
    int cellHeight = 17;
    int block = 0;  // the height reserved for the rows: LineCount x (CellHeight + half)
    int centerX = 0;

    int Half() const { return cellHeight / 2; }
    SPictureBox PictureBox() const { return {areaWidth, areaHeight - block + Half() - kMinFreeSpace}; }
    // The free space left by a picture of this height (0: none).
    int FreeSpace(int pictureHeight) const;
    int AnswerTop(int pictureHeight) const { return FreeSpace(pictureHeight) / 3 + kAnswerAreaTop; }
    // The picture's top-left corner for a picture of this size.
    int PictureX(int pictureWidth) const { return centerX - pictureWidth / 2; }
    int PictureY(int pictureHeight) const;
};

SAnswerLayout ComputeAnswerLayout(int width, int height, int starColumnWidth, int lineCount, int widestLine);

// The rows an answer is shown in: split at "|", at most four, the rest not laid out.
struct SAnswerRows {
    std::int32_t count = 0;
    std::array<std::int32_t, 4> start{};
    std::array<std::int32_t, 4> length{};
    std::int32_t widest = 0;
};

SAnswerRows SplitAnswerRows(std::string_view answer);
