#pragma once
// A stand-in for the game view: it records what the shell tells it and offers two commands, one
// whose rule the tests control and one always enabled.

#include "app/CommandTable.h"
#include "app/GameViewInterface.h"
#include "app/MainFrame.h"
#include "app/QuizmoraApp.h"
#include "game/SoundSink.h"
#include "support/SettingsKey.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <vector>

inline constexpr std::uint32_t kGuardedCommand = 32809;  // "Starte nächstes Rätsel", F5, tool bar
inline constexpr std::uint32_t kEnabledCommand = 33053;  // "Sekundentick"

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
        commands.Register(kEnabledCommand, [] {});
    }
    void SetPuzzlePath(const QString& path) override { events.push_back(QStringLiteral("path:") + path); }
    void SetCursorParkMode(int mode) override { parkModes.push_back(mode); }
    void CheckPuzzlePathAtStart() override { events.push_back(QStringLiteral("check")); }

    QWidget* widget_;
    bool guardedEnabled = false;
    int guardedRuns = 0;
    QStringList events;
    std::vector<int> parkModes;
};

struct Started {
    std::unique_ptr<CQuizmoraApp> app;
    TestGameView* view = nullptr;
    CMainFrame* frame = nullptr;
};

inline int argcStub = 1;
inline char programName[] = "quizmora";
inline char* argvStub[] = {programName, nullptr};

inline CSilentSound silence;

inline Started Start(const QStringList& arguments = {}, const QString& serverName = {})
{
    Started started;
    started.app = std::make_unique<CQuizmoraApp>(argcStub, argvStub);
    TestGameView** out = &started.view;
    const bool ok = started.app->InitInstance(arguments, [out](const GameViewContext& context) {
        auto view = std::make_unique<TestGameView>(context.parent);
        *out = view.get();
        return view;
    }, &silence, serverName);
    if (ok)
        started.frame = started.app->Frame();
    return started;
}

// Keeps the user settings of the test in `folder`; Clear empties them between test cases.
inline bool UseSettingsFolder(const QTemporaryDir& folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    return folder.isValid();
}
inline void ClearSettings() { QSettings(QStringLiteral("KQ"), QStringLiteral("Quizmora")).clear(); }

inline std::uint32_t ReadSetting(const char* name, std::uint32_t missing = 0xDEADBEEF)
{
    std::uint32_t value = missing;
    CSettingsKey(std::string_view("Settings")).ReadDword(name, value);
    return value;
}
