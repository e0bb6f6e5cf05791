#pragma once
// Which monitor shows the game to the audience and which the presenter window to the quiz master.
// The choice is kept per monitor layout: a layout that returns brings its choice back, a new one
// starts from the default (the game on a secondary monitor, the presenter on the primary one).

#include "app/FramePlacement.h"

#include <optional>
#include <span>
#include <string>

struct SScreenChoice {
    int game = 0;
    int presenter = -1;  // -1: one monitor only, the presenter opens beside the game
};

// A text naming the monitors and their rectangles in order, as the settings keep it.
std::string MonitorLayoutKey(std::span<const ScreenRect> monitors);

// stored: the game's monitor remembered for storedLayout. gameMonitor: the monitor the game is on
// now (-1 unknown); it is kept when nothing is remembered for this layout and it is not the
// primary one.
SScreenChoice ChooseScreens(std::span<const ScreenRect> monitors, int primary, int gameMonitor,
                            const std::string& storedLayout, std::optional<int> storedGame);

// The two monitors exchanged; a single monitor stays as it is.
SScreenChoice SwappedScreens(const SScreenChoice& choice);

// Where a window of the given size goes on a monitor: centred, and no larger than the monitor.
ScreenRect CentredOn(const ScreenRect& monitor, int width, int height);

// Beside the game window on one monitor: to its right when there is room, else to its left, else
// over its right part; always inside the monitor.
ScreenRect BesideWindow(const ScreenRect& monitor, const ScreenRect& window, int width, int height);
