// The sound player on SDL's dummy driver: which sounds start when, the CLING spacing, and
// silence instead of errors.
#include "app/GameSoundPlayer.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Recorder {
    std::mutex mutex;
    std::vector<std::pair<std::string, std::uint32_t>> starts;

    void Record(std::string_view name, std::uint32_t tick)
    {
        std::lock_guard lock(mutex);
        starts.emplace_back(name, tick);
    }
    std::size_t Count()
    {
        std::lock_guard lock(mutex);
        return starts.size();
    }
    void WaitFor(std::size_t count)
    {
        for (int i = 0; i < 400 && Count() < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
};

class GameSound : public ::testing::Test {
protected:
    // Every test runs at a later time than all earlier ones, so their CLINGs never interact.
    static std::uint32_t FreshStart()
    {
        static std::uint32_t next = 1'000'000;
        next += 100'000;
        return next;
    }

    CGameSoundPlayer::Options ManualOptions()
    {
        CGameSoundPlayer::Options options;
        options.clock = &clock;
        options.sleep = [this](std::uint32_t ms) {
            std::lock_guard lock(sleepMutex);
            sleeps.push_back(ms);
            clock.Advance(ms);
        };
        options.onStart = [this](std::string_view name, std::uint32_t tick) { recorder.Record(name, tick); };
        return options;
    }

    CManualTicks clock{FreshStart()};
    Recorder recorder;
    std::mutex sleepMutex;
    std::vector<std::uint32_t> sleeps;
};

TEST_F(GameSound, OnlyAClingSoonAfterAClingWaits280Milliseconds)
{
    const std::uint32_t start = clock.Now();
    {
        CGameSoundPlayer player(ManualOptions());
        player.PlayGameSound("CLING1");
        recorder.WaitFor(1);
        clock.Advance(100);
        player.PlayGameSound("CLING2");
        recorder.WaitFor(2);
        player.PlayGameSound("TICK");  // other sounds never wait
        recorder.WaitFor(3);
        clock.Advance(500);
        player.PlayGameSound("CLING1");  // long after: no wait
        recorder.WaitFor(4);
    }
    const std::vector<std::pair<std::string, std::uint32_t>> expected = {
        {"CLING1", start}, {"CLING2", start + 280}, {"TICK", start + 280}, {"CLING1", start + 780}};
    EXPECT_EQ(recorder.starts, expected);
    EXPECT_EQ(sleeps, std::vector<std::uint32_t>{180});
}

TEST_F(GameSound, UnknownOrBrokenWavesAreSilent)
{
    CGameSoundPlayer::Options options = ManualOptions();
    const std::vector<std::byte> garbage(64, std::byte{0x5A});
    options.source = [&garbage](std::string_view name) -> std::span<const std::byte> {
        return name == "TICK" ? std::span<const std::byte>(garbage) : std::span<const std::byte>();
    };
    CGameSoundPlayer player(options);
    player.PlayGameSound("TICK");
    player.PlayGameSound("NOPE");
    player.PlayGameSound(nullptr);
    recorder.WaitFor(2);
    EXPECT_EQ(recorder.Count(), 2u);
    EXPECT_EQ(player.QueuedBytes(), 0u);
}

// Every sound of the game is embedded and plays; a new sound replaces the playing one.
TEST_F(GameSound, EverySoundOfTheGameIsEmbeddedAndPlays)
{
    CGameSoundPlayer player(ManualOptions());
    if (!player.HasDevice())
        GTEST_SKIP() << "no audio driver";
    std::vector<std::uint32_t> queued;
    for (const char* name : {"CLING1", "TICK", "TUCK", "ERROR", "CLING2"}) {
        player.PlayGameSound(name);
        recorder.WaitFor(queued.size() + 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        queued.push_back(player.QueuedBytes());
        EXPECT_GT(queued.back(), 0u) << name;
    }
    // The CLING (0.63 s) would still be queued beside the TICK (0.17 s) if it were not cut off.
    EXPECT_LT(queued[1], queued[0]);
}

TEST(GameSoundNoDevice, MissingDriverMeansSilence)
{
    // A driver that does not exist: the player opens no device and plays nothing, quietly.
    SDL_setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        CGameSoundPlayer player;
        EXPECT_FALSE(player.HasDevice());
        player.PlayGameSound("TICK");
        player.PlayGameSound("CLING1");
    }
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
