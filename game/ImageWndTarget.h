#pragma once
// The game screen's surface on the image window: its back buffer, kept at least as large as the
// view, and its invalidation, which repaints the changed rectangles from the buffer.

#include "game/RenderTarget.h"

class CImageWnd;

class CImageWndTarget final : public IRenderTarget {
public:
    explicit CImageWndTarget(CImageWnd& window) : window_(window) {}

    CGraphicsImage& BackBuffer() override;
    void Resize(int width, int height) override;
    void Invalidate(int x, int y, int width, int height) override;
    void RedrawAll() override;

private:
    CImageWnd& window_;
};
