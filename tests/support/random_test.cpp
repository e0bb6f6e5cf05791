#include "support/Random.h"
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
    EXPECT_EQ(random.Next(), 35);
}

TEST(TickCount, ManualClockWrapsAndTheSteadyClockIsTheProcessClock)
{
    CManualTicks ticks(0xFFFFFF00u);
    ticks.Advance(0x200);
    EXPECT_EQ(ticks.Now(), 0x100u);
    const std::uint32_t a = GetTickCount();
    EXPECT_LT(CSteadyTicks().Now() - a, 1000u);
}

}  // namespace
