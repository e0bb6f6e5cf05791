#pragma once
// A child window that shows a back-buffer picture. Its owner draws into the back buffer at any
// time and invalidates what it changed; painting copies only the invalidated part to the screen
// and fills what the buffer does not cover with the background colour. The buffer follows the
// window's size (up to 16000 pixels each way) and keeps its picture when it grows. The window can
// scroll and centre the buffer and passes mouse and paint events, in buffer coordinates, to its
// owner's callbacks.

#include "imaging/GraphicsImage.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <functional>
#include <mutex>

class QPainter;

class CImageWnd : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Option bits of the window.
    static constexpr std::uint32_t HorizontalScrollBar = 0x01;
    static constexpr std::uint32_t VerticalScrollBar = 0x02;
    static constexpr std::uint32_t OwnerFlag1 = 0x04;  // kept for the owner, no effect here
    static constexpr std::uint32_t OwnerFlag2 = 0x08;  // kept for the owner, no effect here
    static constexpr std::uint32_t CentreBuffer = 0x10;
    static constexpr std::uint32_t FixedSize = 0x20;
    static constexpr std::uint32_t KeepTopLeft = 0x40;
    static constexpr std::uint32_t OptionMask = 0x7F;

    static constexpr int kDefaultMaximum = 16000;
    static constexpr int kLineStep = 32;

    enum class MouseAction {
        LeftDown, LeftUp, LeftDoubleClick,
        RightDown, RightUp, RightDoubleClick,
        MiddleDown, MiddleUp, MiddleDoubleClick,
        Move, Wheel
    };
    struct MouseEvent {
        MouseAction action;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        int wheelDelta;  // for Wheel: the angle delta, 120 per notch
        QPoint position;  // buffer coordinates
    };
    using MouseCallback = std::function<void(const MouseEvent& event)>;
    // Called after each paint with the painter and the painted rectangle in buffer coordinates.
    using PaintCallback = std::function<void(QPainter& painter, const QRect& bufferRect)>;

    explicit CImageWnd(QWidget* parent = nullptr);
    ~CImageWnd() override;

    // Sets the options (low 7 bits), the geometry, the parent and the object name "<id>"; a
    // positive preset size gives the window a buffer of that size at once.
    bool Create(std::uint32_t options, const QRect& rect, QWidget* parent, int controlId);
    std::uint32_t Options() const { return options_; }

    // Lower bound of the buffer size; with FixedSize the buffer size itself.
    void SetPresetSize(int width, int height);
    void SetMaximumBufferSize(int width, int height);

    // The picture; the owner draws into it and then invalidates what changed.
    CGraphicsImage& BackBuffer() { return buffer_; }
    const CGraphicsImage& BackBuffer() const { return buffer_; }
    // Held while the buffer is replaced; owners that draw from other threads take it too.
    std::mutex& BufferLock() { return bufferLock_; }

    // 0x00RRGGBB.
    std::uint32_t BackgroundColor() const { return background_; }
    void SetBackgroundColor(std::uint32_t colour);

    // A negative width or height extends to the left or upwards. erase has no effect: the paint
    // always fills what the buffer does not cover.
    void InvalidateImageRect(int x, int y, int width, int height, bool erase = false);
    // Invalidates everything and repaints at once.
    void RedrawNow();

    QPoint ScrollOrigin() const { return origin_; }
    // True when the origin changed.
    bool SetScrollOrigin(int x, int y);

    // Re-runs the size handling with the current client size.
    void RefreshSize();
    // Exactly width x height, or the current size grown by them.
    static void SetWindowSize(QWidget* window, int width, int height, bool relative);

    void SetMouseCallback(MouseCallback callback) { mouseCallback_ = std::move(callback); }
    void SetPaintCallback(PaintCallback callback) { paintCallback_ = std::move(callback); }

    // Replaces the buffer by one of the given size, keeping the old picture at the top-left; the
    // new area has the background colour. False when the memory cannot be had.
    bool ResizeBackBuffer(int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void HandleSize(int clientWidth, int clientHeight);
    void UpdateScrollBars();
    void SendMouse(MouseAction action, QMouseEvent* event);
    // The part of the client area that shows buffer pixels.
    QRect CoveredRect() const;

    CGraphicsImage buffer_;
    std::mutex bufferLock_;
    std::uint32_t options_ = 0;
    std::uint32_t background_ = 0xFFFFFF;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int presetWidth_ = 0;
    int presetHeight_ = 0;
    int maximumWidth_ = kDefaultMaximum;
    int maximumHeight_ = kDefaultMaximum;
    QPoint origin_;
    bool updatingScrollBars_ = false;
    MouseCallback mouseCallback_;
    PaintCallback paintCallback_;
};
