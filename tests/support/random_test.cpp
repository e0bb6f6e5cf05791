#include "support/Random.h"
#include "support/Resources.h"
#include "support/TickCount.h"

#include <gtest/gtest.h>

namespace {

TEST(Random, LinearCongruentialSequence)
{
    // seed 1: 1 * 214013 + 2531011 = 2745024 -> bits 16..30 = 41
    CRandom random(1);
    EXPECT_EQ(random.Next(), 41);
    EXPECT_EQ(random.Next(), 18467);
    EXPECT_EQ(random.Next(), 6334);
    random.Seed(0xFFFFFFFFu);  // wraps modulo 2^32
    EXPECT_EQ(random.Next(), static_cast<int>(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF));
    for (int i = 0; i < 1000; ++i) {
        const int value = random.Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST(TickCount, ManualClockWrapsAndTheSteadyClockIsTheProcessClock)
{
    CManualTicks ticks(0xFFFFFF00u);
    ticks.Advance(0x200);
    EXPECT_EQ(ticks.Now(), 0x100u);
    const std::uint32_t a = GetTickCount();
    EXPECT_LT(CSteadyTicks().Now() - a, 1000u);
}

// The contents and the RES:// spellings are checked through CDataStream.
TEST(Resources, FoundByTypeWordNumberAndName)
{
    const auto star = FindResource("BITMAP", "149");
    ASSERT_FALSE(star.empty());
    EXPECT_EQ(FindResource("bitmap", "0149").data(), star.data());
    EXPECT_TRUE(FindResource("BITMAP", "148").empty());
    EXPECT_TRUE(FindResource("ICON", "149").empty());
    EXPECT_TRUE(FindResource("", "").empty());
}

}  // namespace
