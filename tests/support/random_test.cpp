#include "support/Random.h"
#include "support/Resources.h"
#include "support/TickCount.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

TEST(Random, LinearCongruentialSequence)
{
    // seed 1: 1 * 214013 + 2531011 = 2745024 -> bits 16..30 = 41
    CRandom random(1);
    EXPECT_EQ(random.Next(), 41);
    EXPECT_EQ(random.Next(), 18467);
    EXPECT_EQ(random.Next(), 6334);
    random.Seed(0xFFFFFFFFu);  // wraps modulo 2^32
    const std::uint32_t next = 0xFFFFFFFFu * 214013u + 2531011u;
    EXPECT_EQ(random.Next(), static_cast<int>((next >> 16) & 0x7FFF));
    for (int i = 0; i < 1000; ++i) {
        const int value = random.Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST(TickCount, ManualClockWrapsLikeTheSystemCounter)
{
    CManualTicks ticks(0xFFFFFF00u);
    const std::uint32_t start = ticks.Now();
    ticks.Advance(0x200);
    EXPECT_EQ(ticks.Now(), 0x100u);
    EXPECT_EQ(ticks.Now() - start, 0x200u);  // unsigned difference survives the wrap
    const std::uint32_t a = GetTickCount();
    const std::uint32_t b = CSteadyTicks().Now();
    EXPECT_LT(b - a, 1000u);
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Resources, FoundByTypeWordNumberAndName)
{
    const auto star = FindResource("BITMAP", "149");
    ASSERT_FALSE(star.empty());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(star.data()), star.size()),
              FileBytes(QUIZMORA_SOURCE_DIR "/res/BITMAP/149.png"));
    EXPECT_EQ(FindResource("2", "149").data(), star.data());
    EXPECT_EQ(FindResource("bitmap", "0149").data(), star.data());
    EXPECT_EQ(FindResource("DATA", "LOGO").size(), FileBytes(QUIZMORA_SOURCE_DIR "/res/DATA/logo.txt").size());
    EXPECT_TRUE(FindResource("BITMAP", "148").empty());
    EXPECT_TRUE(FindResource("ICON", "149").empty());
    EXPECT_TRUE(FindResource("", "").empty());
}

TEST(Resources, KeysFollowTheTypeWords)
{
    EXPECT_EQ(ResourceTypeKey("CURSOR"), ResourceKey(1u));
    EXPECT_EQ(ResourceTypeKey("Bitmap"), ResourceKey(2u));
    EXPECT_EQ(ResourceTypeKey("ICON"), ResourceKey(3u));
    EXPECT_EQ(ResourceTypeKey("html"), ResourceKey(23u));
    EXPECT_EQ(ResourceTypeKey("WAVE"), ResourceKey(std::string("WAVE")));
    EXPECT_EQ(ResourceNameKey("BITMAP"), ResourceKey(std::string("BITMAP")));  // names stay words
    EXPECT_EQ(ResourceNameKey("150"), ResourceKey(150u));
}

}  // namespace
