#pragma once
// What the remote reader needs from the game: implemented by the game view.

#include <string_view>

class IRemoteHost {
public:
    virtual ~IRemoteHost() = default;

    // A buzzer (buttons 0 and 1). Called on the reader thread, so that a press does not wait for
    // the GUI thread; the implementation touches only atomics.
    virtual void StopPlayer(int player) = 0;

    // Buttons 2 to 7: the command identifier, to be queued into the GUI thread's one command
    // dispatch so that the command's availability rule applies. Called on the reader thread.
    virtual void PostCommand(int commandId) = 0;

    // The remote's port: "COM3" or a device path while it is open, empty while none can be opened.
    // Called on the reader thread when the state changes; the text is valid during the call only.
    virtual void RemoteStateChanged(std::string_view portName) = 0;
};
