#include "remote/RemoteReader.h"

#include "remote/ComPort.h"
#include "remote/ComPortName.h"
#include "remote/RemoteLine.h"

#include <algorithm>

namespace {

using namespace std::chrono_literals;

constexpr auto kRetryDelay = 200ms;       // while no port can be opened
constexpr std::uint32_t kInputWaitMs = 100;  // bounds how late a stop or a new setting is seen
constexpr SLineSettings kRemoteLine{9600, kParityNone, kOneStopBit, 8, 0};

// Tells the host about the port only when what it would show changes.
class CStateReport {
public:
    explicit CStateReport(IRemoteHost& host) : host_(host) {}

    void Update(std::string_view portName)
    {
        if (known_ && shown_.View() == portName)
            return;
        known_ = shown_.Assign(portName);
        host_.RemoteStateChanged(portName);
    }

private:
    IRemoteHost& host_;
    CFixedText<kMaxDevicePath> shown_;
    bool known_ = false;
};

int OpenTarget(const SRemotePortTarget& target, const SComPortName& name)
{
    if (target.deviceTooLong || name.device.Empty())
        return -1;
    if (target.device.Empty())
        return CComPort::Open(target.index, kRemoteLine.baud, kRemoteLine.parity, kRemoteLine.stopBits,
                              kRemoteLine.dataBits, kRemoteLine.flags);
    return CComPort::OpenDevice(name.device.View(), kRemoteLine);
}

const CSteadyTicks g_steadyTicks;

}  // namespace

int RemoteReaderThread(IRemoteHost& host, const CRemotePortSetting& setting, const CStopRequest& stop,
                       const CTickSource& ticks)
{
    // Large members live here once, before the loop: nothing below allocates.
    SRemotePortTarget wanted;
    SRemotePortTarget opened;
    SComPortName openedName;
    std::uint32_t seenGeneration = setting.CopyTo(wanted);
    bool reopen = true;
    int slot = -1;
    CRemoteLineBuffer buffer;
    CRemoteButtons buttons(host, ticks);
    CStateReport report(host);

    while (!stop.IsRequested()) {
        if (setting.Generation() != seenGeneration) {
            seenGeneration = setting.CopyTo(wanted);
            reopen = reopen || !(wanted == opened);
        }
        if (reopen || !CComPort::IsAlive(slot)) {
            CComPort::Close(slot);
            opened = wanted;
            openedName = NameComPort(opened.index, opened.device.View());
            slot = OpenTarget(opened, openedName);
            reopen = false;
            report.Update(slot >= 0 ? openedName.display.View() : std::string_view());
        }
        if (slot < 0) {
            stop.SleepFor(kRetryDelay);
            continue;
        }

        SRemoteLine line;
        const auto step = buffer.Next(line);
        if (step == CRemoteLineBuffer::EStep::Line)
            buttons.Handle(line);
        if (step != CRemoteLineBuffer::EStep::NeedMore)
            continue;  // one line per pass, so a stop or a new port is never held up by a flood

        CComPort::WaitForInput(slot, kInputWaitMs);
        const int queued = CComPort::BytesAvailable(slot);
        if (queued > 0) {
            const auto space = buffer.FreeSpace();
            const auto wantedBytes = std::min(static_cast<std::size_t>(queued), space.size());
            const int got = CComPort::Read(slot, space.first(wantedBytes));
            if (got > 0)
                buffer.Commit(static_cast<std::size_t>(got));
            else if (got < 0)
                reopen = true;
        }
    }
    CComPort::Close(slot);
    return 0;
}

CRemoteReader::CRemoteReader(IRemoteHost& host, const CRemotePortSetting& setting)
    : CRemoteReader(host, setting, g_steadyTicks)
{
}

CRemoteReader::CRemoteReader(IRemoteHost& host, const CRemotePortSetting& setting, const CTickSource& ticks)
    : thread_([this, &host, &setting, &ticks] { RemoteReaderThread(host, setting, stop_, ticks); })
{
}

CRemoteReader::~CRemoteReader()
{
    stop_.Request();
    thread_.join();
}
