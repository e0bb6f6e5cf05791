#include "ui/ImageWnd.h"

#include "ui/ImageWndBlit.h"

#include <QColor>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

QColor ToQColor(std::uint32_t rgb)
{
    return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The new coordinate of one axis of the scroll origin; spare = buffer size - client size.
int OriginOnAxis(int wanted, int spare, std::uint32_t options)
{
    if (spare >= 0)
        return std::clamp(wanted, 0, spare);
    if (options & CImageWnd::CentreBuffer)
        return spare / 2;
    if (options & CImageWnd::KeepTopLeft)
        return 0;
    return std::clamp(wanted, spare, 0);
}

}  // namespace

CImageWnd::CImageWnd(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The paint covers every pixel, so nothing needs to be erased first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setCursor(Qt::ArrowCursor);
    viewport()->setMouseTracking(true);
}

CImageWnd::~CImageWnd() = default;

bool CImageWnd::Create(std::uint32_t options, const QRect& rect, QWidget* parent, int controlId)
{
    options_ = options & OptionMask;
    if (parent != nullptr && parent != parentWidget())
        setParent(parent);
    setObjectName(QString::number(controlId));
    setHorizontalScrollBarPolicy(options_ & HorizontalScrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(options_ & VerticalScrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setGeometry(rect);
    if (presetWidth_ > 0 && presetHeight_ > 0) {
        std::lock_guard lock(bufferLock_);
        if (!ResizeBackBuffer(presetWidth_, presetHeight_))
            return false;
    }
    return true;
}

void CImageWnd::SetPresetSize(int width, int height)
{
    presetWidth_ = std::max(0, width);
    presetHeight_ = std::max(0, height);
}

void CImageWnd::SetMaximumBufferSize(int width, int height)
{
    maximumWidth_ = std::max(1, width);
    maximumHeight_ = std::max(1, height);
}

bool CImageWnd::ResizeBackBuffer(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    CGraphicsImage fresh;
    if (!fresh.Create(32, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                      background_ & 0x00FFFFFF))
        return false;
    if (background_ == 0)
        fresh.FillRect(0, 0, width, height, 0);
    if (buffer_.HasPixels())
        fresh.Draw(buffer_, 0, 0, 0);
    buffer_ = std::move(fresh);
    return true;
}

void CImageWnd::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    HandleSize(viewport()->width(), viewport()->height());
}

void CImageWnd::RefreshSize()
{
    HandleSize(viewport()->width(), viewport()->height());
}

void CImageWnd::HandleSize(int clientWidth, int clientHeight)
{
    bool bufferChanged = false;
    {
        std::lock_guard lock(bufferLock_);
        int width = presetWidth_;
        int height = presetHeight_;
        if (!(options_ & FixedSize)) {
            width = std::max(std::min(clientWidth, maximumWidth_), presetWidth_);
            height = std::max(std::min(clientHeight, maximumHeight_), presetHeight_);
        }
        if (width > 0 && height > 0 &&
            (static_cast<std::uint32_t>(width) != buffer_.Width() || static_cast<std::uint32_t>(height) != buffer_.Height()))
            bufferChanged = ResizeBackBuffer(width, height);
    }
    const bool clientChanged = clientWidth > 0 && clientHeight > 0 &&
                               (clientWidth != clientWidth_ || clientHeight != clientHeight_);
    if (clientChanged) {
        clientWidth_ = clientWidth;
        clientHeight_ = clientHeight;
    }
    // The scroll range depends on both sizes.
    if (clientChanged || bufferChanged) {
        UpdateScrollBars();
        SetScrollOrigin(origin_.x(), origin_.y());
    }
}

bool CImageWnd::SetScrollOrigin(int x, int y)
{
    QPoint next;
    if (buffer_.HasPixels()) {
        const int width = std::min(static_cast<int>(buffer_.Width()), maximumWidth_);
        const int height = std::min(static_cast<int>(buffer_.Height()), maximumHeight_);
        next = QPoint(OriginOnAxis(x, width - clientWidth_, options_), OriginOnAxis(y, height - clientHeight_, options_));
    }
    if (next == origin_)
        return false;
    origin_ = next;
    updatingScrollBars_ = true;
    if (options_ & HorizontalScrollBar)
        horizontalScrollBar()->setValue(origin_.x());
    if (options_ & VerticalScrollBar)
        verticalScrollBar()->setValue(origin_.y());
    updatingScrollBars_ = false;
    return true;
}

void CImageWnd::UpdateScrollBars()
{
    updatingScrollBars_ = true;
    const int spareX = static_cast<int>(buffer_.Width()) - clientWidth_;
    const int spareY = static_cast<int>(buffer_.Height()) - clientHeight_;
    horizontalScrollBar()->setRange(std::min(0, spareX), std::max(0, spareX));
    horizontalScrollBar()->setPageStep(std::max(1, clientWidth_));
    horizontalScrollBar()->setSingleStep(kLineStep);
    verticalScrollBar()->setRange(std::min(0, spareY), std::max(0, spareY));
    verticalScrollBar()->setPageStep(std::max(1, clientHeight_));
    verticalScrollBar()->setSingleStep(kLineStep);
    updatingScrollBars_ = false;
}

void CImageWnd::scrollContentsBy(int, int)
{
    if (updatingScrollBars_)
        return;
    const int x = options_ & HorizontalScrollBar ? horizontalScrollBar()->value() : origin_.x();
    const int y = options_ & VerticalScrollBar ? verticalScrollBar()->value() : origin_.y();
    if (SetScrollOrigin(x, y))
        viewport()->update();
}

void CImageWnd::SetBackgroundColor(std::uint32_t colour)
{
    colour &= 0x00FFFFFF;
    if (colour == background_)
        return;
    background_ = colour;
    const bool backgroundShows = origin_.x() < 0 || origin_.y() < 0 ||
                                 clientWidth_ > static_cast<int>(buffer_.Width()) ||
                                 clientHeight_ > static_cast<int>(buffer_.Height());
    if (backgroundShows)
        viewport()->update();
}

void CImageWnd::InvalidateImageRect(int x, int y, int width, int height, bool)
{
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    viewport()->update(QRect(x - origin_.x(), y - origin_.y(), width, height));
}

void CImageWnd::RedrawNow()
{
    viewport()->repaint();
}

void CImageWnd::SetWindowSize(QWidget* window, int width, int height, bool relative)
{
    if (window == nullptr)
        return;
    if (relative)
        window->resize(window->width() + width, window->height() + height);
    else
        window->resize(width, height);
}

QRect CImageWnd::CoveredRect() const
{
    if (buffer_.IsEmpty())
        return {};
    const QRect buffer(-origin_.x(), -origin_.y(), static_cast<int>(buffer_.Width()), static_cast<int>(buffer_.Height()));
    return buffer.intersected(viewport()->rect());
}

void CImageWnd::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QColor background = ToQColor(background_);
    const QRect covered = CoveredRect();
    for (const QRect& area : event->region()) {
        const QRect copied = area.intersected(covered);
        if (!copied.isEmpty())
            DrawBottomUpImage(painter, buffer_, copied.translated(origin_), copied.topLeft());
        // What the buffer does not cover shows the background.
        for (const QRect& band : QRegion(area).subtracted(QRegion(copied)))
            painter.fillRect(band, background);
    }
    if (paintCallback_)
        paintCallback_(painter, event->rect().translated(origin_));
}

void CImageWnd::SendMouse(MouseAction action, QMouseEvent* event)
{
    if (!mouseCallback_)
        return;
    const QPoint position = event->position().toPoint() + origin_;
    mouseCallback_(MouseEvent{action, event->buttons(), event->modifiers(), 0, position});
}

void CImageWnd::mousePressEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton: SendMouse(MouseAction::LeftDown, event); break;
    case Qt::RightButton: SendMouse(MouseAction::RightDown, event); break;
    case Qt::MiddleButton: SendMouse(MouseAction::MiddleDown, event); break;
    default: break;
    }
}

void CImageWnd::mouseReleaseEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton: SendMouse(MouseAction::LeftUp, event); break;
    case Qt::RightButton: SendMouse(MouseAction::RightUp, event); break;
    case Qt::MiddleButton: SendMouse(MouseAction::MiddleUp, event); break;
    default: break;
    }
}

void CImageWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton: SendMouse(MouseAction::LeftDoubleClick, event); break;
    case Qt::RightButton: SendMouse(MouseAction::RightDoubleClick, event); break;
    case Qt::MiddleButton: SendMouse(MouseAction::MiddleDoubleClick, event); break;
    default: break;
    }
}

void CImageWnd::mouseMoveEvent(QMouseEvent* event)
{
    SendMouse(MouseAction::Move, event);
}

void CImageWnd::wheelEvent(QWheelEvent* event)
{
    if (!mouseCallback_) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const QPoint position = event->position().toPoint() + origin_;
    mouseCallback_(MouseEvent{MouseAction::Wheel, event->buttons(), event->modifiers(), event->angleDelta().y(), position});
}
