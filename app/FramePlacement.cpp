#include "app/FramePlacement.h"

bool FitsMonitor(const ScreenRect& window, const ScreenRect& monitor)
{
    return window.Width() >= kPlacementMargin && window.Height() >= kPlacementMargin &&
           window.right >= monitor.left + kPlacementMargin && window.bottom >= monitor.top + kPlacementMargin &&
           window.left <= monitor.right - kPlacementMargin && window.top <= monitor.bottom - kPlacementMargin;
}

int MonitorOfRect(std::span<const ScreenRect> monitors, const ScreenRect& window)
{
    const int centreX = window.left + window.Width() / 2;
    const int centreY = window.top + window.Height() / 2;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].Contains(centreX, centreY))
            return static_cast<int>(i);
    }
    return -1;
}

RestoredPlacement RestorePlacement(const StoredPlacement& stored, std::span<const ScreenRect> monitors,
                                   int primary, const ScreenRect& defaultRect)
{
    RestoredPlacement placement{stored.zoomed, defaultRect};
    if (monitors.empty())
        return placement;
    const int count = static_cast<int>(monitors.size());
    const bool storedIsMonitor = stored.monitor >= 0 && stored.monitor < count;
    const int fitIndex = storedIsMonitor ? stored.monitor : (primary >= 0 && primary < count ? primary : 0);

    const ScreenRect wanted{stored.x, stored.y, stored.x + stored.width, stored.y + stored.height};
    if (FitsMonitor(wanted, monitors[static_cast<std::size_t>(fitIndex)]))
        placement.rect = wanted;

    if (count >= 2 && storedIsMonitor && MonitorOfRect(monitors, placement.rect) != stored.monitor) {
        // Centre the window on its old monitor, keeping its size.
        const ScreenRect& target = monitors[static_cast<std::size_t>(stored.monitor)];
        const int width = placement.rect.Width();
        const int height = placement.rect.Height();
        const int left = target.left + (target.Width() - width) / 2;
        const int top = target.top + (target.Height() - height) / 2;
        placement.rect = {left, top, left + width, top + height};
    }
    return placement;
}
