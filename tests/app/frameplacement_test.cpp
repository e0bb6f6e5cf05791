#include "app/FramePlacement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const std::vector<ScreenRect> kTwoScreens = {{0, 0, 1600, 1000}, {1600, 0, 3520, 1080}};
const ScreenRect kDefault{100, 100, 900, 700};

struct FitCase {
    const char* name;
    ScreenRect window;
    bool fits;
};

TEST(FramePlacement, FiftyPixelRule)
{
    const ScreenRect monitor{0, 0, 1600, 1000};
    const FitCase cases[] = {
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
        EXPECT_EQ(FitsMonitor(c.window, monitor), c.fits) << c.name;
}

TEST(FramePlacement, MonitorOfCentre)
{
    EXPECT_EQ(MonitorOfRect(kTwoScreens, {0, 0, 200, 200}), 0);
    EXPECT_EQ(MonitorOfRect(kTwoScreens, {1500, 0, 1900, 200}), 1);
    EXPECT_EQ(MonitorOfRect(kTwoScreens, {5000, 0, 5100, 100}), -1);
}

TEST(FramePlacement, StoredRectangleOnSecondScreenIsKept)
{
    const StoredPlacement stored{false, 1700, 50, 800, 600, 1};
    const auto placed = RestorePlacement(stored, kTwoScreens, 0, kDefault);
    EXPECT_EQ(placed.rect, (ScreenRect{1700, 50, 2500, 650}));
    EXPECT_FALSE(placed.zoomed);
}

TEST(FramePlacement, RectangleOutsideItsMonitorFallsBackAndMovesToThatMonitor)
{
    // Stored for monitor 1 but lying on monitor 0: it does not fit monitor 1, so the default
    // rectangle is used and then centred on monitor 1.
    const StoredPlacement stored{true, 10, 10, 800, 600, 1};
    const auto placed = RestorePlacement(stored, kTwoScreens, 0, kDefault);
    EXPECT_TRUE(placed.zoomed);
    EXPECT_EQ(placed.rect, (ScreenRect{1600 + 560, 240, 1600 + 560 + 800, 840}));
}

TEST(FramePlacement, DetachedMonitorIndexTestsPrimary)
{
    const std::vector<ScreenRect> one = {{0, 0, 1600, 1000}};
    const StoredPlacement onPrimary{false, 200, 100, 640, 480, 3};
    EXPECT_EQ(RestorePlacement(onPrimary, one, 0, kDefault).rect, (ScreenRect{200, 100, 840, 580}));
    const StoredPlacement beyond{false, 1700, 100, 640, 480, 3};
    EXPECT_EQ(RestorePlacement(beyond, one, 0, kDefault).rect, kDefault);
    EXPECT_EQ(RestorePlacement(beyond, kTwoScreens, 0, kDefault).rect, kDefault);
}

}  // namespace
