#include "app/FramePlacement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const std::vector<ScreenRect> kOneScreen = {{0, 0, 1600, 1000}};
const std::vector<ScreenRect> kTwoScreens = {{0, 0, 1600, 1000}, {1600, 0, 3520, 1080}};

TEST(FramePlacement, FiftyPixelRule)
{
    struct Case {
        const char* name;
        ScreenRect window;
        bool fits;
    };
    const Case cases[] = {
        {"inside", {10, 10, 500, 400}, true},
        {"too narrow", {10, 10, 59, 400}, false},
        {"exactly 50 wide", {10, 10, 60, 400}, true},
        {"too short", {10, 10, 500, 59}, false},
        {"right edge 49 into the monitor", {-500, 10, 49, 400}, false},
        {"right edge 50 into the monitor", {-500, 10, 50, 400}, true},
        {"bottom edge 49 below the top", {10, -500, 400, 49}, false},
        {"left edge 50 before the right", {1550, 10, 2000, 400}, true},
        {"left edge 49 before the right", {1551, 10, 2000, 400}, false},
        {"top edge 49 above the bottom", {10, 951, 400, 1400}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitsMonitor(c.window, kTwoScreens[0]), c.fits) << c.name;
    EXPECT_EQ(MonitorOfRect(kTwoScreens, {0, 0, 200, 200}), 0);
    EXPECT_EQ(MonitorOfRect(kTwoScreens, {1500, 0, 1900, 200}), 1);
    EXPECT_EQ(MonitorOfRect(kTwoScreens, {5000, 0, 5100, 100}), -1);
}

TEST(FramePlacement, Restore)
{
    const ScreenRect kDefault{100, 100, 900, 700};
    struct Case {
        const char* name;
        StoredPlacement stored;
        const std::vector<ScreenRect>& monitors;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"kept on the second screen", {false, 1700, 50, 800, 600, 1}, kTwoScreens, {1700, 50, 2500, 650}},
        // Stored for monitor 1 but lying on monitor 0: the default, centred on monitor 1.
        {"wrong monitor", {true, 10, 10, 800, 600, 1}, kTwoScreens, {2160, 240, 2960, 840}},
        {"detached index, fits the primary", {false, 200, 100, 640, 480, 3}, kOneScreen, {200, 100, 840, 580}},
        {"detached index, beyond the primary", {false, 1700, 100, 640, 480, 3}, kOneScreen, kDefault},
        {"detached index, on another screen", {false, 1700, 100, 640, 480, 3}, kTwoScreens, kDefault},
    };
    for (const auto& c : cases) {
        const auto placed = RestorePlacement(c.stored, c.monitors, 0, kDefault);
        EXPECT_EQ(placed.rect, c.expected) << c.name;
        EXPECT_EQ(placed.zoomed, c.stored.zoomed) << c.name;
    }
}

}  // namespace
