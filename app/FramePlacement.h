#pragma once
// Where the main window reappears: the stored rectangle is accepted only when it still fits its
// monitor with a margin of 50 pixels, and a window whose centre lands on another monitor than
// the stored one is moved back onto it. Rectangles are screen pixels, right and bottom exclusive.

#include <cstdint>
#include <optional>
#include <span>

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const ScreenRect&) const = default;
};

// The frame's values in its settings subkey.
struct StoredPlacement {
    bool zoomed = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int monitor = 0;
};

struct RestoredPlacement {
    bool zoomed = false;
    ScreenRect rect;
};

inline constexpr int kPlacementMargin = 50;

bool FitsMonitor(const ScreenRect& window, const ScreenRect& monitor);

// The index of the monitor that holds the rectangle's centre, -1 when none does.
int MonitorOfRect(std::span<const ScreenRect> monitors, const ScreenRect& window);

// The placement for the first showing. defaultRect is where the window would appear without
// stored values; primary is the index of the primary monitor.
RestoredPlacement RestorePlacement(const StoredPlacement& stored, std::span<const ScreenRect> monitors,
                                   int primary, const ScreenRect& defaultRect);
