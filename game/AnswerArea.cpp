// The answer area of the game screen: the letter cells, centred row by row, above the picture.

#include "game/GameColours.h"
#include "game/GameRenderer.h"
#include "game/LetterGlyphs.h"
#include "game/RenderTarget.h"

#include <algorithm>

namespace {

constexpr int kAreaTop = kAnswerAreaTop;
constexpr int kGlyphMaskSize = 256;
// Two colours of 256 characters in play; callers with more colours start over at this many.
constexpr std::size_t kMaxKeptGlyphs = 1024;

}  // namespace

int CGameRenderer::RowStartX(int row) const
{
    const int length = state_.LineLength[row];
    int x = CenterX - (length / 2) * CellWidth;
    if (length % 2 != 0)
        x -= CellWidth / 2;
    return x;
}

void CGameRenderer::DrawAnswerArea()
{
    const int left = StarColumnWidth + 6;
    const SAnswerLayout layout =
        ComputeAnswerLayout(Width, Height, StarColumnWidth, state_.LineCount, state_.WidestLine);
    AreaWidth = layout.areaWidth;
    AreaHeight = layout.areaHeight;
    Fill(left, kAreaTop, AreaWidth, AreaHeight, GameColours::Background);
    CellWidth = layout.cellWidth;
    CellHeight = layout.cellHeight;
    CenterX = layout.centerX;

    // A picture larger than its box is shown scaled down into it, placed as one of that size.
    const CGraphicsImage* picture = picture_.HasPixels() ? picture_.ForBox(layout.PictureBox()) : nullptr;
    const int pictureWidth = picture != nullptr ? static_cast<int>(picture->Width()) : 0;
    const int pictureHeight = picture != nullptr ? static_cast<int>(picture->Height()) : 0;
    AnswerTop = layout.AnswerTop(pictureHeight);
    PictureRect = {layout.PictureX(pictureWidth), layout.PictureY(pictureHeight), pictureWidth, pictureHeight};

    CGraphicsImage& buffer = target_.BackBuffer();
    if (picture != nullptr) {
        const int x = PictureRect.x;
        const int y = PictureRect.y;
        if (picture->HasAlpha()) {
            // DrawAlpha copies onto pixels without alpha and blends only onto opaque ones: the
            // black under the picture is made opaque, so that a transparent part shows it.
            buffer.FillRect(x, y, pictureWidth, pictureHeight, GameColours::Background | 0xFF000000u);
            buffer.DrawAlpha(*picture, x, y);
        } else
            buffer.Draw(*picture, x, y, 0);
    }

    for (int row = 0; row < state_.LineCount; ++row) {
        const int y = AnswerTop + row * CellHeight;
        int x = RowStartX(row);
        const int start = state_.LineStart[row];
        for (int i = start; i < start + state_.LineLength[row]; ++i) {
            const auto character = static_cast<std::uint8_t>(state_.Answer[i]);
            if (state_.Shown[i] != 0)
                DrawLetter(buffer, x, y, character, GameColours::ShownLetter);
            else
                DrawLetter(buffer, x, y, '*', GameColours::CoveredCell);
            x += CellWidth;
        }
    }
    target_.Invalidate(left, kAreaTop, AreaWidth, AreaHeight);
}

void CGameRenderer::DrawLetterCell(int index)
{
    if (index < 0 || index >= static_cast<int>(state_.Answer.size()) || state_.LineCount <= 0)
        return;
    int row = 0;
    for (int r = 0; r < state_.LineCount; ++r)
        if (state_.LineStart[r] <= index)
            row = r;
    const int y = AnswerTop + row * CellHeight;
    const int x = RowStartX(row) + (index - state_.LineStart[row]) * CellWidth;
    Fill(x, y, CellWidth, CellHeight, GameColours::Background);
    DrawLetter(target_.BackBuffer(), x, y, static_cast<std::uint8_t>(state_.Answer[index]),
               GameColours::ShownLetter);
    target_.Invalidate(x, y, CellWidth, CellHeight);
}

void CGameRenderer::DrawLetter(CGraphicsImage& target, int x, int y, std::uint8_t character,
                               std::uint32_t colour)
{
    if (character == ' ' || character == '\t')
        return;  // the cell keeps its black
    if (glyphCacheWidth_ != CellWidth || glyphCacheHeight_ != CellHeight) {
        ClearGlyphCache();
        glyphCacheWidth_ = CellWidth;
        glyphCacheHeight_ = CellHeight;
    }
    const std::uint64_t key = std::uint64_t{colour} << 8 | character;
    auto found = glyphCache_.find(key);
    if (found == glyphCache_.end()) {
        CGraphicsImage scaled;
        if (!ScaleGlyph(character, colour, scaled))
            return;  // tried again next time: a failure here is a lack of memory
        if (glyphCache_.size() >= kMaxKeptGlyphs)
            ClearGlyphCache();
        found = glyphCache_.emplace(key, std::move(scaled)).first;
    }
    target.DrawAlpha(found->second, x, y);
}

void CGameRenderer::ClearGlyphCache()
{
    glyphCache_.clear();
}

bool CGameRenderer::ScaleGlyph(std::uint8_t character, std::uint32_t colour, CGraphicsImage& scaled)
{
    if (!glyphMask_.Create(1, kGlyphMaskSize, kGlyphMaskSize, 0, CGraphicsImage::DibSectionPixels))
        return false;
    const GlyphExtent extent = glyphs_.RenderGlyph(character, glyphMask_);
    if (extent.width <= 0 || extent.height <= 0 ||
        !glyphInk_.Create(32, static_cast<std::uint32_t>(extent.width),
                          static_cast<std::uint32_t>(extent.height), 0))
        return false;
    const std::uint32_t ink = colour | 0xFF000000u;
    const int width = std::min(extent.width, kGlyphMaskSize);
    const int height = std::min(extent.height, kGlyphMaskSize);
    for (int py = 0; py < height; ++py) {
        const std::uint8_t* maskRow = glyphMask_.Row(py);
        auto* inkRow = reinterpret_cast<std::uint32_t*>(glyphInk_.Row(py));
        for (int px = 0; px < width; ++px)
            if ((maskRow[px >> 3] & (0x80 >> (px & 7))) != 0)
                inkRow[px] = ink;
    }
    // Scaled into an image of its own, which gives the same pixels as scaling a copy in place.
    return scaled.Resample(glyphInk_, static_cast<std::uint32_t>(CellWidth), static_cast<std::uint32_t>(CellHeight),
                           CGraphicsImage::ResampleSmooth);
}
