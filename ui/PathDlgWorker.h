#pragma once
// The folder chooser's enumeration thread. It lists the mounted volumes once and then the
// subfolders of whichever folder it is asked for, handing results out in sorted batches through
// callbacks that run on the worker thread. The callbacks must only post (the dialog queues them
// into the GUI thread); the worker never touches a widget.
//
// A new request cancels the one in progress; the stop flag ends the thread between two folder
// entries, so closing the dialog never waits for a whole large folder.

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct PathDlgDrive {
    std::string root;  // native path of the mount point
    QString label;     // the name shown in the drive selector
    bool network = false;
};

// The order of the folder list: letters compared without case, ties by bytes.
bool PathNameLess(std::string_view a, std::string_view b);

class CPathDlgWorker {
public:
    struct Callbacks {
        std::function<void(std::vector<PathDlgDrive>)> drivesReady;
        // A sorted batch of subfolder names (native bytes) of the given request.
        std::function<void(std::uint64_t request, std::vector<std::string> names)> batch;
        // The request's folder is completely listed (opened is false when it could not be read).
        std::function<void(std::uint64_t request, bool opened)> listed;
    };

    explicit CPathDlgWorker(Callbacks callbacks);
    ~CPathDlgWorker();
    CPathDlgWorker(const CPathDlgWorker&) = delete;
    CPathDlgWorker& operator=(const CPathDlgWorker&) = delete;

    // Asks for the subfolders of folder; returns the request's number (never 0).
    std::uint64_t Request(std::string folder);

    // Ends the thread and waits for it; whileWaiting runs between short sleeps meanwhile.
    void Stop(const std::function<void()>& whileWaiting = {});

    bool Running() const { return running_.load(); }

private:
    void Run();
    void ListDrives();
    void List(const std::string& folder, std::uint64_t request);
    bool Cancelled(std::uint64_t request) const;

    Callbacks callbacks_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::string> pending_;  // guarded by mutex_
    std::atomic<std::uint64_t> latest_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{true};
    std::thread thread_;
};
