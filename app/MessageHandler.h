#pragma once
// What the main window answers to the messages of other programs (see MessageFrame.h for the
// frames that carry them). Pointers do not cross process boundaries here, so where the old
// interface returned a text's address or sent a text to another window, the reply carries the
// text itself in its data.

#include "app/MessageFrame.h"

#include <cstdint>
#include <string>
#include <string_view>

// The main window's side of the interface.
class IMessageTarget {
public:
    virtual ~IMessageTarget() = default;
    // Queues the program's exit command; true when it was queued.
    virtual bool PostExit() = 0;
    // Sets the text of a status-bar pane; texts are Windows-1252. False for a pane that does not exist.
    virtual bool SetStatusText(std::uint32_t pane, const std::string& text) = 0;
    // The full path of the document; empty when there is none.
    virtual std::string DocumentPath() const = 0;
    // Takes the path as the document's name; true when a document results.
    virtual bool OpenDocument(const std::string& path) = 0;
    // The phone buzzers' join address; empty while they are off.
    virtual std::string JoinUrl() const { return {}; }
    // Queues a command, which then passes the command table's rules like a key would; true when
    // it was queued.
    virtual bool PostCommand(std::uint32_t /*id*/) { return false; }
};

class CMessageHandler {
public:
    explicit CMessageHandler(IMessageTarget& target) : target_(target) {}

    MessageReply Handle(const MessageRequest& request);

    const std::string& ReceivedText() const { return receivedText_; }

private:
    MessageReply HandleFrameControl(std::uint32_t wparam);
    MessageReply HandleCopyData(std::uint32_t code, std::span<const std::uint8_t> data);

    IMessageTarget& target_;
    std::string receivedText_;
};

// The absolute form of a path: relative paths are taken from the current folder, "." and ".."
// are resolved, "\" becomes "/". Windows-1252 in and out.
std::string FullPathName(std::string_view path);
// Two paths name the same file: both made full, letters compared without regard to case or
// Latin-1 accents, "/" equal to "\".
bool SamePath(std::string_view a, std::string_view b);
