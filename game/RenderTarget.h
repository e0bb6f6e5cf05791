#pragma once
// The surface the game screen is drawn on: the image window's back buffer, which copies the
// invalidated rectangles to the screen.

class CGraphicsImage;

class IRenderTarget {
public:
    virtual ~IRenderTarget() = default;
    virtual CGraphicsImage& BackBuffer() = 0;
    // Makes the back buffer at least width x height, keeping its content.
    virtual void Resize(int width, int height) = 0;
    virtual void Invalidate(int x, int y, int width, int height) = 0;
    // Repaints everything at once (a change of layout).
    virtual void RedrawAll() = 0;
};

#include "imaging/GraphicsImage.h"

// A back buffer of its own and no screen: for previews and benchmarks.
class CBufferRenderTarget final : public IRenderTarget {
public:
    CGraphicsImage& BackBuffer() override { return buffer_; }
    void Resize(int width, int height) override
    {
        buffer_.Create(32, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 0);
    }
    void Invalidate(int, int, int, int) override {}
    void RedrawAll() override {}

private:
    CGraphicsImage buffer_;
};
