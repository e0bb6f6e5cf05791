#pragma once
// A sound sink that records each sound with the tick it was played at.

#include "game/SoundSink.h"
#include "support/TickCount.h"

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

struct CPlayedSound {
    std::uint32_t tick;
    std::string name;
    bool operator==(const CPlayedSound&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const CPlayedSound& sound)
{
    return out << sound.name << "@" << sound.tick;
}

class CRecordingSound final : public IGameSound {
public:
    explicit CRecordingSound(const CTickSource& clock) : clock_(clock) {}

    void PlayGameSound(const char* name) override
    {
        const std::lock_guard lock(mutex_);
        played_.push_back({clock_.Now(), name});
    }
    std::vector<CPlayedSound> Played() const
    {
        const std::lock_guard lock(mutex_);
        return played_;
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& sound : Played())
            names.push_back(sound.name);
        return names;
    }
    void Clear()
    {
        const std::lock_guard lock(mutex_);
        played_.clear();
    }

private:
    const CTickSource& clock_;
    mutable std::mutex mutex_;
    std::vector<CPlayedSound> played_;
};
