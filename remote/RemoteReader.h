#pragma once
// The remote control's reader thread: keeps the port of the setting open (reopening it when the
// setting changes, the device disappears or a read fails, and retrying every 200 ms while it
// cannot be opened), reads the button lines and turns presses into game actions.

#include "remote/RemoteHost.h"
#include "remote/RemotePortSetting.h"
#include "remote/StopRequest.h"
#include "support/TickCount.h"

#include <thread>

// The loop itself; returns 0 once stop is requested, with its port closed.
int RemoteReaderThread(IRemoteHost& host, const CRemotePortSetting& setting, const CStopRequest& stop,
                       const CTickSource& ticks);

// Owns the reader thread: starts it on construction; destruction asks it to stop and waits until
// it has ended (within about 100 ms), so the host is never called after the owner is gone. The
// host, the setting and the clock must outlive it: an owner declares it after them, or resets it
// first thing in its destructor.
class CRemoteReader {
public:
    CRemoteReader(IRemoteHost& host, const CRemotePortSetting& setting);
    CRemoteReader(IRemoteHost& host, const CRemotePortSetting& setting, const CTickSource& ticks);
    ~CRemoteReader();

    CRemoteReader(const CRemoteReader&) = delete;
    CRemoteReader& operator=(const CRemoteReader&) = delete;

private:
    CStopRequest stop_;
    std::thread thread_;
};
