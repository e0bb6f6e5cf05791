#include "app/GameSoundPlayer.h"

#include "support/Resources.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

// The start of the last CLING, shared by every player of the process. A race between two sound
// threads only shifts the spacing of two CLINGs, so no lock guards it.
std::atomic<std::uint32_t> lastClingStart{0};
std::atomic<bool> anyClingStarted{false};

std::span<const std::byte> EmbeddedWave(std::string_view name)
{
    return FindResource("WAVE", name);
}

struct WaveDeleter {
    void operator()(std::uint8_t* buffer) const { SDL_FreeWAV(buffer); }
};

}  // namespace

CGameSoundPlayer::CGameSoundPlayer()
    : CGameSoundPlayer(Options{})
{
}

CGameSoundPlayer::CGameSoundPlayer(Options options)
    : options_(std::move(options))
{
    if (!options_.source)
        options_.source = EmbeddedWave;
    if (!options_.clock)
        options_.clock = &steadyClock_;
    if (!options_.sleep)
        options_.sleep = [](std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };

    // SDL would otherwise take SIGINT and SIGTERM for itself and the program could not be ended
    // from outside; the Qt event loop owns the process.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return;
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(
        nullptr, 0, &wanted, &obtained,
        SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    device_ = device;
    frequency_ = obtained.freq;
    format_ = obtained.format;
    channels_ = obtained.channels;
    SDL_PauseAudioDevice(device_, 0);
}

CGameSoundPlayer::~CGameSoundPlayer()
{
    {
        std::unique_lock lock(threadsMutex_);
        threadsDone_.wait(lock, [this] { return runningThreads_ == 0; });
    }
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void CGameSoundPlayer::PlayGameSound(const char* name)
{
    if (name == nullptr)
        return;
    {
        std::lock_guard lock(threadsMutex_);
        ++runningThreads_;
    }
    std::thread(&CGameSoundPlayer::RunSound, this, std::string(name)).detach();
}

void CGameSoundPlayer::RunSound(std::string name)
{
    if (name.compare(0, 5, "CLING") == 0)
        WaitForClingSpacing();
    Start(name);
    // Tell the destructor last, after the final touch of this object.
    std::lock_guard lock(threadsMutex_);
    --runningThreads_;
    threadsDone_.notify_all();
}

void CGameSoundPlayer::WaitForClingSpacing()
{
    if (anyClingStarted.load()) {
        const std::uint32_t elapsed = options_.clock->Now() - lastClingStart.load();
        if (elapsed < kClingSpacing)
            options_.sleep(kClingSpacing - elapsed);
    }
    lastClingStart.store(options_.clock->Now());
    anyClingStarted.store(true);
}

void CGameSoundPlayer::Start(const std::string& name)
{
    std::lock_guard lock(playMutex_);
    if (options_.onStart)
        options_.onStart(name, options_.clock->Now());
    if (device_ == 0)
        return;
    const std::vector<std::uint8_t>& samples = Converted(name);
    SDL_ClearQueuedAudio(device_);
    if (!samples.empty())
        SDL_QueueAudio(device_, samples.data(), static_cast<std::uint32_t>(samples.size()));
}

std::uint32_t CGameSoundPlayer::QueuedBytes() const
{
    return device_ != 0 ? SDL_GetQueuedAudioSize(device_) : 0;
}

const std::vector<std::uint8_t>& CGameSoundPlayer::Converted(const std::string& name)
{
    const auto cached = cache_.find(name);
    if (cached != cache_.end())
        return cached->second;
    std::vector<std::uint8_t>& samples = cache_[name];

    const std::span<const std::byte> wave = options_.source(name);
    if (wave.empty() || wave.size() > 0x7FFFFFFF)
        return samples;
    SDL_RWops* stream = SDL_RWFromConstMem(wave.data(), static_cast<int>(wave.size()));
    if (stream == nullptr)
        return samples;
    SDL_AudioSpec waveFormat{};
    std::uint8_t* rawBuffer = nullptr;
    std::uint32_t rawLength = 0;
    if (SDL_LoadWAV_RW(stream, 1, &waveFormat, &rawBuffer, &rawLength) == nullptr)
        return samples;
    const std::unique_ptr<std::uint8_t, WaveDeleter> raw(rawBuffer);

    SDL_AudioCVT cvt;
    const int needed = SDL_BuildAudioCVT(&cvt, waveFormat.format, waveFormat.channels, waveFormat.freq, format_, channels_, frequency_);
    if (needed < 0)
        return samples;
    if (cvt.len_mult <= 0 || rawLength > 0x7FFFFFFFu / static_cast<std::uint32_t>(cvt.len_mult))
        return samples;
    std::vector<std::uint8_t> work(static_cast<std::size_t>(rawLength) * static_cast<std::size_t>(cvt.len_mult));
    std::memcpy(work.data(), raw.get(), rawLength);
    cvt.len = static_cast<int>(rawLength);
    cvt.buf = work.data();
    if (needed > 0 && SDL_ConvertAudio(&cvt) != 0)
        return samples;
    work.resize(needed > 0 ? static_cast<std::size_t>(cvt.len_cvt) : rawLength);
    samples = std::move(work);
    return samples;
}
