#pragma once
// A stand-in for the game view: it records what the shell tells it and offers two commands whose
// rules the tests control.

#include "app/CommandTable.h"
#include "app/GameViewInterface.h"
#include "game/SoundSink.h"

#include <QStringList>
#include <QWidget>

#include <vector>

inline constexpr std::uint32_t kGuardedCommand = 32809;  // "Starte nächstes Rätsel", F5, tool bar
inline constexpr std::uint32_t kCheckedCommand = 33053;  // "Sekundentick"

class TestGameView final : public IGameView {
public:
    explicit TestGameView(QWidget* parent) : widget_(new QWidget(parent))
    {
        widget_->setObjectName(QStringLiteral("testView"));
        widget_->setMinimumSize(200, 150);
    }
    ~TestGameView() override { delete widget_; }

    QWidget* Widget() override { return widget_; }
    void RegisterCommands(CCommandTable& commands) override
    {
        commands.Register(kGuardedCommand, [this] { ++guardedRuns; }, [this] { return guardedEnabled; });
        commands.Register(kCheckedCommand, [this] { ticker = !ticker; }, {}, [this] { return ticker; });
    }
    void SetPuzzlePath(const QString& path) override { events.push_back(QStringLiteral("path:") + path); }
    void SetCursorParkMode(int mode) override { parkModes.push_back(mode); }
    void CheckPuzzlePathAtStart() override { events.push_back(QStringLiteral("check")); }

    QWidget* widget_;
    bool guardedEnabled = false;
    int guardedRuns = 0;
    bool ticker = true;
    QStringList events;
    std::vector<int> parkModes;
};

class SilentSound final : public IGameSound {
public:
    void PlayGameSound(const char*) override {}
};
