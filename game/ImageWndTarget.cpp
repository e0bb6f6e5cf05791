#include "game/ImageWndTarget.h"

#include "ui/ImageWnd.h"

#include <algorithm>
#include <mutex>

CGraphicsImage& CImageWndTarget::BackBuffer()
{
    return window_.BackBuffer();
}

void CImageWndTarget::Resize(int width, int height)
{
    CImageWnd::SetWindowSize(&window_, width, height, false);
    // A window not shown yet sizes its buffer only when it shows; the screen may be drawn before.
    const std::lock_guard lock(window_.BufferLock());
    const CGraphicsImage& buffer = window_.BackBuffer();
    const int bufferWidth = static_cast<int>(buffer.Width());
    const int bufferHeight = static_cast<int>(buffer.Height());
    if (bufferWidth < width || bufferHeight < height)
        window_.ResizeBackBuffer(std::max(width, bufferWidth), std::max(height, bufferHeight));
}

void CImageWndTarget::Invalidate(int x, int y, int width, int height)
{
    window_.InvalidateImageRect(x, y, width, height, true);
}

void CImageWndTarget::RedrawAll()
{
    window_.RedrawNow();
}
