#pragma once
// Plays the game's WAVE resources on the audio device. Every call starts a short-lived thread,
// so the caller never waits; a CLING waits until 280 ms have passed since the last CLING of the
// process, so two buzzers in a row stay audible as two. A new sound cuts off the one playing.
// Without an audio device every sound is silent; nothing is reported.

#include "game/SoundSink.h"
#include "support/TickCount.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CGameSoundPlayer final : public IGameSound {
public:
    // The WAVE file bytes of a sound name; empty when there is none.
    using SoundSource = std::function<std::span<const std::byte>(std::string_view name)>;
    // Told of every sound as it starts, with the tick of the start (on the sound's thread).
    using StartObserver = std::function<void(std::string_view name, std::uint32_t tick)>;
    using Sleeper = std::function<void(std::uint32_t ms)>;

    struct Options {
        SoundSource source;       // default: the embedded resources of type "WAVE"
        const CTickSource* clock = nullptr;  // default: the steady clock
        Sleeper sleep;            // default: the thread sleeps
        StartObserver onStart;
    };

    static constexpr std::uint32_t kClingSpacing = 280;

    CGameSoundPlayer();
    explicit CGameSoundPlayer(Options options);
    // Waits for the sound threads still starting their sounds, then closes the device.
    ~CGameSoundPlayer() override;
    CGameSoundPlayer(const CGameSoundPlayer&) = delete;
    CGameSoundPlayer& operator=(const CGameSoundPlayer&) = delete;

    void PlayGameSound(const char* name) override;

    bool HasDevice() const { return device_ != 0; }
    // Bytes still queued on the device (0 without one).
    std::uint32_t QueuedBytes() const;

private:
    void RunSound(std::string name);
    void WaitForClingSpacing();
    void Start(const std::string& name);
    // The sound converted to the device's format, cached; empty when it cannot be had.
    const std::vector<std::uint8_t>& Converted(const std::string& name);

    Options options_;
    CSteadyTicks steadyClock_;
    std::uint32_t device_ = 0;
    int frequency_ = 0;
    std::uint16_t format_ = 0;
    std::uint8_t channels_ = 0;

    std::mutex playMutex_;  // one clear-and-queue at a time, and the cache
    std::map<std::string, std::vector<std::uint8_t>> cache_;

    std::mutex threadsMutex_;
    std::condition_variable threadsDone_;
    int runningThreads_ = 0;
};
