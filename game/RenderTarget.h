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
