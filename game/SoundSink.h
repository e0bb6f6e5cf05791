#pragma once
// Where the game's sounds go: the application plays them on the audio device, tests record them.

class IGameSound {
public:
    virtual ~IGameSound() = default;
    // name is one of "TICK", "TUCK", "ERROR", "CLING1", "CLING2" (static strings). Never blocks.
    virtual void PlayGameSound(const char* name) = 0;
};

// For drawing without a game running: previews and benchmarks.
class CSilentSound final : public IGameSound {
public:
    void PlayGameSound(const char*) override {}
};
