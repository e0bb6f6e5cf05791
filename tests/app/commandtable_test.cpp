#include "app/CommandTable.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandTable, EnabledRuleGuardsDispatchAndObserversHearEveryCall)
{
    CCommandTable table;
    bool enabled = false;
    int runs = 0;
    int updates = 0;
    table.AddObserver([&] { ++updates; });
    table.Register(32809, [&] { ++runs; }, [&] { return enabled; });

    EXPECT_FALSE(table.IsEnabled(32809));
    EXPECT_FALSE(table.Dispatch(32809));
    EXPECT_EQ(runs, 0);
    enabled = true;
    EXPECT_TRUE(table.IsEnabled(32809));
    EXPECT_TRUE(table.Dispatch(32809));
    EXPECT_EQ(runs, 1);

    // Unknown commands are disabled and carry no check mark.
    EXPECT_FALSE(table.Contains(1));
    EXPECT_FALSE(table.IsEnabled(1));
    EXPECT_FALSE(table.Dispatch(1));
    EXPECT_FALSE(table.IsChecked(1).has_value());
    EXPECT_EQ(updates, 3);  // refused, ran and unknown alike
}

TEST(CommandTable, CheckMarksFollowTheirRule)
{
    CCommandTable table;
    int starSize = 0;
    table.Register(32817, [&] { starSize = 0; }, {}, [&] { return starSize == 0; });
    table.Register(32815, [&] { starSize = 2; }, {}, [&] { return starSize == 2; });
    table.Register(33034, [] {});

    EXPECT_EQ(table.IsChecked(32817), true);
    EXPECT_EQ(table.IsChecked(32815), false);
    EXPECT_FALSE(table.IsChecked(33034).has_value());
    table.Dispatch(32815);
    EXPECT_EQ(table.IsChecked(32817), false);
    EXPECT_EQ(table.IsChecked(32815), true);
}

TEST(CommandTable, HandlerMayReplaceItsOwnEntry)
{
    CCommandTable table;
    int second = 0;
    table.Register(7, [&] { table.Register(7, [&] { ++second; }); });
    EXPECT_TRUE(table.Dispatch(7));
    EXPECT_EQ(second, 0);
    EXPECT_TRUE(table.Dispatch(7));
    EXPECT_EQ(second, 1);
}

}  // namespace
