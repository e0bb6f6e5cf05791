#pragma once
// The remote reader's way into the game. Runs on the reader thread: a buzzer stops the player at
// once; the other buttons are queued into the GUI thread's command dispatch, so their rules apply
// as for a key; the port's state is handed on for the status bar.

#include "remote/RemoteHost.h"

#include <cstdint>
#include <functional>
#include <string>

class CGameEngine;

class CViewRemoteHost final : public IRemoteHost {
public:
    using CommandPoster = std::function<void(std::uint32_t id)>;
    // Receives "COM3" or a device path while a port is open, empty while none can be opened.
    // Called on the reader thread.
    using StateListener = std::function<void(std::string portName)>;

    CViewRemoteHost(CGameEngine& engine, CommandPoster postCommand, StateListener stateChanged);

    void StopPlayer(int player) override;
    void PostCommand(int commandId) override;
    void RemoteStateChanged(std::string_view portName) override;

private:
    CGameEngine& engine_;
    CommandPoster postCommand_;
    StateListener stateChanged_;
};
