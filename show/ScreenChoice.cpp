#include "show/ScreenChoice.h"

#include <algorithm>

std::string MonitorLayoutKey(std::span<const ScreenRect> monitors)
{
    std::string key;
    for (const ScreenRect& monitor : monitors) {
        if (!key.empty())
            key += ';';
        key += std::to_string(monitor.left) + ',' + std::to_string(monitor.top) + ',' +
               std::to_string(monitor.Width()) + 'x' + std::to_string(monitor.Height());
    }
    return key;
}

SScreenChoice ChooseScreens(std::span<const ScreenRect> monitors, int primary, int gameMonitor,
                            const std::string& storedLayout, std::optional<int> storedGame)
{
    const int count = static_cast<int>(monitors.size());
    const auto valid = [count](int index) { return index >= 0 && index < count; };
    if (count < 2)
        return {valid(gameMonitor) ? gameMonitor : 0, -1};
    if (!valid(primary))
        primary = 0;

    int game = -1;
    if (storedGame && valid(*storedGame) && storedLayout == MonitorLayoutKey(monitors))
        game = *storedGame;
    else if (valid(gameMonitor) && gameMonitor != primary)
        game = gameMonitor;
    else
        game = primary == 0 ? 1 : 0;  // the first monitor that is not the primary one

    const int presenter = game != primary ? primary : (game == 0 ? 1 : 0);
    return {game, presenter};
}

SScreenChoice SwappedScreens(const SScreenChoice& choice)
{
    if (choice.presenter < 0)
        return choice;
    return {choice.presenter, choice.game};
}

ScreenRect CentredOn(const ScreenRect& monitor, int width, int height)
{
    width = std::clamp(width, 1, std::max(1, monitor.Width()));
    height = std::clamp(height, 1, std::max(1, monitor.Height()));
    const int left = monitor.left + (monitor.Width() - width) / 2;
    const int top = monitor.top + (monitor.Height() - height) / 2;
    return {left, top, left + width, top + height};
}

ScreenRect BesideWindow(const ScreenRect& monitor, const ScreenRect& window, int width, int height)
{
    width = std::clamp(width, 1, std::max(1, monitor.Width()));
    height = std::clamp(height, 1, std::max(1, monitor.Height()));
    int left = monitor.right - width;  // over the game's right part when nothing else fits
    if (window.right + width <= monitor.right)
        left = window.right;
    else if (window.left - width >= monitor.left)
        left = window.left - width;
    const int top = std::clamp(window.top, monitor.top, monitor.bottom - height);
    return {left, top, left + width, top + height};
}
