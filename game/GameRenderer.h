#pragma once
// Draws the game screen into the image window's back buffer: a star column for each player at the
// left and right edges, bevelled separators, the question strip at the top and, below it, the
// answer cells above the puzzle picture. Only what changed is drawn again, and every drawn
// rectangle is invalidated in the target.

#include "game/GameState.h"
#include "game/ShownPicture.h"
#include "imaging/GraphicsImage.h"

#include <array>
#include <cstdint>
#include <span>
#include <unordered_map>

class ILetterGlyphs;
class IRenderTarget;

class CGameRenderer {
public:
    // picture is the puzzle picture that the loader fills; it is drawn at its own size when it
    // fits the space the layout gives it, scaled down into that space otherwise.
    CGameRenderer(CGameState& state, CShownPicture& picture, IRenderTarget& target,
                  ILetterGlyphs& glyphs);

    // Loads the star pictures and the question fonts from the program's resources and applies
    // the star size. Missing stars stay empty (a lit cell then shows only its colour).
    void LoadResources(int starSize);

    // The client area changed size; nothing is drawn until the next DrawStep.
    void OnSize(int width, int height);
    bool HasSize() const { return Width > 0 && Height > 0; }

    // The drawing part of every game-timer tick.
    void DrawStep();
    // The cell of answer position index, just uncovered.
    void DrawLetterCell(int index);
    // One character stretched into a cell of CellWidth x CellHeight at (x, y). A letter's scaled
    // glyph depends only on the character, the cell size and the colour: each is scaled once and
    // kept while the cell size stays.
    void DrawLetter(CGraphicsImage& target, int x, int y, std::uint8_t character, std::uint32_t colour);
    // Forgets the kept glyphs: the next letters are drawn afresh.
    void ClearGlyphCache();

    void ApplyStarSize(int size);
    // A star-size command: new layout, everything drawn again.
    void SetStarSize(int size);

    // Layout of the last drawing, for tests and tools.
    int Width = 0;
    int Height = 0;
    int StarSize = 0;
    int StarColumnWidth = 136;
    int StarCellHeight = 136;
    int StarRows = 1;
    int AreaWidth = 0;
    int AreaHeight = 0;
    int CenterX = 0;
    int AnswerTop = 0;
    int CellWidth = 10;
    int CellHeight = 17;
    struct SRect {
        int x = 0, y = 0, w = 0, h = 0;
    };
    SRect PictureRect;  // where the picture was drawn; empty without one

private:
    // Returns the player state the column was drawn in.
    std::uint8_t DrawStarColumn(int player);
    void DrawSeparators();
    void DrawQuestionStrip();
    void DrawAnswerArea();
    int RowStartX(int row) const;
    void Fill(int x, int y, int w, int h, std::uint32_t colour);
    void SelectQuestionFont(std::span<const std::uint8_t> font);

    CGameState& state_;
    CShownPicture& picture_;
    IRenderTarget& target_;
    ILetterGlyphs& glyphs_;

    std::array<CGraphicsImage, 3> stars_;
    CGraphicsImage starImage_;
    std::array<std::span<const std::uint8_t>, 3> questionFonts_;
    // Per star cell i (0..31): left column at 2i, right at 2i + 1; 1 lit, 0 unlit, 0xFF not drawn.
    std::array<std::uint8_t, 64> starDrawn_;
    std::array<std::uint8_t, 2> stateDrawn_{};
    std::uint8_t frameDirty_ = 0xFF;
    bool ScaleGlyph(std::uint8_t character, std::uint32_t colour, CGraphicsImage& scaled);

    // Scratch images of ScaleGlyph, kept to spare the allocations of every letter.
    CGraphicsImage glyphMask_;
    CGraphicsImage glyphInk_;
    // The scaled glyphs by colour << 8 | character, all of one cell size: at most 256 per colour.
    std::unordered_map<std::uint64_t, CGraphicsImage> glyphCache_;
    int glyphCacheWidth_ = 0;
    int glyphCacheHeight_ = 0;
};
