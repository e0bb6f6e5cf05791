#include "game/GameRenderer.h"

#include "game/GameColours.h"
#include "game/LetterGlyphs.h"
#include "game/RenderTarget.h"
#include "support/Resources.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kStripHeight = 36;
constexpr int kStripWithBevel = 42;
constexpr int kBevelWidth = 6;

std::span<const std::uint8_t> FontResource(const char* name)
{
    const auto bytes = FindResource("FONT", name);
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

}  // namespace

CGameRenderer::CGameRenderer(CGameState& state, CShownPicture& picture, IRenderTarget& target,
                             ILetterGlyphs& glyphs)
    : state_(state), picture_(picture), target_(target), glyphs_(glyphs)
{
    starDrawn_.fill(0xFF);
}

void CGameRenderer::LoadResources(int starSize)
{
    for (int i = 0; i < 3; ++i)
        stars_[i].LoadFromResource(149 + i);
    questionFonts_ = {FontResource("Q36"), FontResource("Q24"), FontResource("Q18")};
    StarSize = starSize;
    ApplyStarSize(starSize);
}

void CGameRenderer::OnSize(int width, int height)
{
    if (width == 0 || height == 0)
        return;
    Fill(0, 0, width, height, GameColours::Background);
    starDrawn_.fill(0xFF);
    target_.Resize(width, height);
    Width = width;
    Height = height;
    frameDirty_ = 0xFF;
    state_.QuestionDirty = 1;
    state_.AnswerDirty = 1;
}

void CGameRenderer::Fill(int x, int y, int w, int h, std::uint32_t colour)
{
    target_.BackBuffer().FillRect(x, y, w, h, colour);
}

void CGameRenderer::DrawStep()
{
    // What is remembered is the state the column was drawn in: a stop from the remote's thread
    // while drawing is then drawn at the next step instead of never.
    stateDrawn_[0] = DrawStarColumn(0);
    stateDrawn_[1] = DrawStarColumn(1);
    if (frameDirty_ != 0) {
        frameDirty_ = 0;
        DrawSeparators();
    }
    if (state_.QuestionDirty != 0) {
        state_.QuestionDirty = 0;
        DrawQuestionStrip();
    }
    if (state_.AnswerDirty != 0) {
        state_.AnswerDirty = 0;
        DrawAnswerArea();
    }
}

void CGameRenderer::ApplyStarSize(int size)
{
    struct Layout {
        int star, columnWidth, cellHeight, rows, modulus;
    };
    static constexpr Layout kLayouts[] = {
        {0, 136, 136, 1, 8},  // large, and every value other than 1, 2, 3
        {1, 102, 102, 1, 8},  // medium
        {2, 68, 68, 1, 8},    // small
        {2, 136, 68, 2, 25},  // two rows of small stars
    };
    const Layout& layout = kLayouts[size >= 1 && size <= 3 ? size : 0];
    starImage_.CopyFrom(stars_[layout.star]);
    StarColumnWidth = layout.columnWidth;
    StarCellHeight = layout.cellHeight;
    StarRows = layout.rows;
    state_.StarModulus = layout.modulus;
}

void CGameRenderer::SetStarSize(int size)
{
    StarSize = size;
    ApplyStarSize(size);
    starDrawn_.fill(0xFF);
    frameDirty_ = 0xFF;
    state_.QuestionDirty = 1;
    state_.AnswerDirty = 1;
    target_.RedrawAll();
}

std::uint8_t CGameRenderer::DrawStarColumn(int player)
{
    const int w = StarColumnWidth / StarRows;
    const int h = StarCellHeight;
    const int columnX = player == 0 ? 0 : Width - StarColumnWidth;
    const std::uint8_t colourState = state_.PlayerState[player].load();
    const std::uint32_t colour = GameColours::PlayerState[std::min<int>(colourState, 2)];
    const bool stateChanged = colourState != stateDrawn_[player];
    int x = columnX;
    int y = Height - h;
    for (int i = 0; i < 16 * StarRows; ++i) {
        const std::uint8_t lit = i < state_.Stars[player] ? 1 : 0;
        std::uint8_t& drawn = starDrawn_[2 * i + player];
        if (lit != drawn || stateChanged) {
            drawn = lit;
            Fill(x, y, w, h, colour);
            if (lit != 0 && !starImage_.IsEmpty()) {
                const int starX = x + (w - static_cast<int>(starImage_.Width())) / 2;
                const int starY = y + (h - static_cast<int>(starImage_.Height())) / 2;
                target_.BackBuffer().DrawAlpha(starImage_, starX, starY);
            }
            target_.Invalidate(x, y, w, h);
        }
        if ((i % StarRows) + 1 == StarRows) {
            y -= h;
            x -= (StarRows - 1) * w;
        } else {
            x += w;
        }
    }
    return colourState;
}

void CGameRenderer::DrawSeparators()
{
    const int s = StarColumnWidth;
    for (int k = 0; k < kBevelWidth; ++k) {
        Fill(s + k, 0, 1, Height, GameColours::Bevel[k]);
        Fill(Width - s - kBevelWidth + k, 0, 1, Height, GameColours::Bevel[k]);
    }
    target_.Invalidate(s, 0, kBevelWidth, Height);
    target_.Invalidate(Width - s - kBevelWidth, 0, kBevelWidth, Height);
}

void CGameRenderer::SelectQuestionFont(std::span<const std::uint8_t> font)
{
    CGraphicsImage& buffer = target_.BackBuffer();
    buffer.SetFont(font);
    buffer.SetTextAlignment(CGraphicsImage::AlignCenter, CGraphicsImage::AlignTop);
    buffer.SetTextOffset(0);
    buffer.SetTextPlot(&CGraphicsImage::SoftBrush, GameColours::QuestionText, 0);
    buffer.SetTextPlot(nullptr, 0, 1);
}

void CGameRenderer::DrawQuestionStrip()
{
    const int x0 = StarColumnWidth + kBevelWidth;
    const int w = Width - 2 * x0;
    Fill(x0, 0, w, kStripHeight, GameColours::Background);
    for (int k = 0; k < kBevelWidth; ++k)
        Fill(x0, kStripHeight + k, w, 1, GameColours::Bevel[k]);

    const std::string_view question = state_.QuestionText();
    // Large, medium, small: the first that fits, the small one whatever its width.
    static constexpr int kTextY[] = {1, 5, 11};
    CGraphicsImage& buffer = target_.BackBuffer();
    for (int size = 0; size < 3; ++size) {
        SelectQuestionFont(questionFonts_[size]);
        if (size == 2 || buffer.MeasureText(question) <= w - 8) {
            buffer.DrawText(x0 + w / 2, kTextY[size], question);
            break;
        }
    }
    target_.Invalidate(x0, 0, w, kStripWithBevel);
}
