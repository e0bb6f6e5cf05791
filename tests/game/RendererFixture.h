#pragma once
// A render target over a plain back buffer that records what was invalidated, and a letter glyph
// source that inks a solid block, so the screen's geometry can be checked pixel by pixel.

#include "game/GameEngine.h"
#include "game/GameRenderer.h"
#include "game/LetterGlyphs.h"
#include "game/RenderTarget.h"
#include "imaging/GraphicsImage.h"

#include <functional>
#include <string_view>
#include <vector>

struct Rect {
    int x, y, w, h;
    bool operator==(const Rect&) const = default;
};

class RecordingTarget final : public IRenderTarget {
public:
    CGraphicsImage& BackBuffer() override { return buffer; }
    void Resize(int width, int height) override
    {
        if (static_cast<int>(buffer.Width()) < width || static_cast<int>(buffer.Height()) < height)
            buffer.Create(32, width, height, 0);
    }
    void Invalidate(int x, int y, int w, int h) override
    {
        invalidated.push_back({x, y, w, h});
        if (onInvalidate)
            onInvalidate();
    }
    void RedrawAll() override { ++fullRedraws; }

    std::uint32_t Rgb(int x, int y) const { return buffer.GetPixelFn(x, y) & 0xFFFFFF; }

    CGraphicsImage buffer;
    std::vector<Rect> invalidated;
    int fullRedraws = 0;
    std::function<void()> onInvalidate;  // stands in for another thread acting while drawing
};

// Every character is a block of ink 72 x 128 in a 72 x 128 cell, like a fixed-pitch font whose
// glyphs fill their box; the renderer stretches it to the letter cell.
class BlockGlyphs final : public ILetterGlyphs {
public:
    GlyphExtent RenderGlyph(std::uint8_t character, CGraphicsImage& mask) override
    {
        rendered.push_back(character);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 72; ++x)
                mask.SetPixelFn(x, y, 1);
        return {72, 128};
    }
    std::vector<std::uint8_t> rendered;
};

// An engine and a renderer on a recording target of the given size, after the first size event.
struct RendererFixture {
    explicit RendererFixture(int width = 1920, int height = 1080, int starSize = 0)
        : engine(clock, random, sound), renderer(engine.State(), engine.ShownPicture(), target, glyphs)
    {
        renderer.LoadResources(starSize);
        renderer.OnSize(width, height);
    }

    CGameState& State() { return engine.State(); }

    void SetAnswer(std::string_view answer)
    {
        SetFieldText(State().Answer, answer);
        engine.PrepareAnswer();
    }

    void Draw()
    {
        target.invalidated.clear();
        renderer.DrawStep();
    }

    CManualTicks clock;
    CRandom random;
    CSilentSound sound;
    CGameEngine engine;
    RecordingTarget target;
    BlockGlyphs glyphs;
    CGameRenderer renderer;
};
