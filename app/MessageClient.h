#pragma once
// The other end of the local message interface: sends one request to a running Quizmora and
// waits for its reply. `quizmora --send <command> [argument]` uses it.

#include "app/MessageFrame.h"

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

// Empty when no instance answers within the time-out or the reply is malformed.
std::optional<MessageReply> SendMessageRequest(const QString& serverName, const MessageRequest& request,
                                               int timeoutMs = 3000);

// The request of a command line after "--send": ping, menuping, exit, status PANE TEXT,
// settext TEXT, settext16 TEXT, gettext, docpath, open PATH, open16 PATH, compare PATH,
// compare16 PATH, raw MESSAGE WPARAM [CODE [TEXT]]. Empty for an unknown or incomplete command.
std::optional<MessageRequest> RequestOfCommand(const QStringList& arguments);

// Runs the client: prints the result (and any text of the reply) to out, errors to err.
// Exit code 0 on a reply, 1 on a usage error, 2 when no instance answered.
int RunSendCommand(const QStringList& arguments, QTextStream& out, QTextStream& err,
                   const QString& serverName);
