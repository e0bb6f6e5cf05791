#pragma once
// What the application shell needs of the game view, and what it hands the view. The view is
// created through CreateGameView, which the game module defines; tests bring their own view.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class CCommandTable;
class IGameSound;
class QWidget;

class IGameView {
public:
    virtual ~IGameView() = default;

    // The view's widget; the main frame shows it as its client area.
    virtual QWidget* Widget() = 0;
    // Adds the view's commands with their enabled and check rules.
    virtual void RegisterCommands(CCommandTable& commands) = 0;
    // A puzzle path from the command line; several calls come in the order of the arguments.
    virtual void SetPuzzlePath(const QString& path) = 0;
    // The frame's full-screen state: 0 normal, 1 full screen from a normal window, 2 from a
    // maximized one.
    virtual void SetCursorParkMode(int mode) = 0;
    // Called once after the command line has been applied: opens the folder chooser (by posting
    // its command) when the puzzle path in force is not a folder.
    virtual void CheckPuzzlePathAtStart() = 0;
    // The phone buzzers from the command line: switched on at once on that address (empty: the
    // first non-loopback IPv4 address) and port. A view without them ignores it.
    virtual void StartBuzzers(const QString& host, int port) { (void)host, (void)port; }
    // "http://ADDR:PORT/?t=TOKEN" while the phone buzzers are on, empty otherwise.
    virtual QString BuzzerJoinUrl() const { return {}; }
};

struct GameViewContext {
    // Queues a command for the GUI thread, where it goes through the command table's rules.
    // Safe to call from any thread.
    std::function<void(std::uint32_t id)> postCommand;
    IGameSound& sound;
    QWidget* parent = nullptr;
};

// Defined by the game module.
std::unique_ptr<IGameView> CreateGameView(const GameViewContext& context);
