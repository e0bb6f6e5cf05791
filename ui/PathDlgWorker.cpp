#include "ui/PathDlgWorker.h"

#include <QStorageInfo>

#include <algorithm>
#include <chrono>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace {

using Clock = std::chrono::steady_clock;

// The first batch is small so that the list shows something at once; later batches are larger
// and time-bounded so that a huge folder costs the GUI thread a few merges, not thousands.
constexpr std::size_t kFirstBatch = 64;
constexpr std::size_t kLaterBatch = 4096;
constexpr auto kBatchInterval = std::chrono::milliseconds(50);

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

char FoldCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsListedName(const char* name)
{
    // Dot names are the hidden entries of this platform.
    return name[0] != '.';
}

bool IsFolderEntry(const std::string& folder, const dirent& entry)
{
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat info{};
    const std::string full = folder + (folder.ends_with('/') ? "" : "/") + entry.d_name;
    return ::stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsNetworkFileSystem(const QByteArray& type)
{
    static const char* const kNetworkTypes[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p", "afs"};
    return std::any_of(std::begin(kNetworkTypes), std::end(kNetworkTypes), [&](const char* t) { return type == t; });
}

}  // namespace

bool PathNameLess(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char fa = FoldCase(a[i]);
        const char fb = FoldCase(b[i]);
        if (fa != fb)
            return static_cast<unsigned char>(fa) < static_cast<unsigned char>(fb);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

CPathDlgWorker::CPathDlgWorker(Callbacks callbacks)
    : callbacks_(std::move(callbacks))
    , thread_([this] { Run(); })
{
}

CPathDlgWorker::~CPathDlgWorker()
{
    Stop();
}

std::uint64_t CPathDlgWorker::Request(std::string folder)
{
    std::uint64_t request = 0;
    {
        const std::lock_guard lock(mutex_);
        pending_ = std::move(folder);
        request = latest_.fetch_add(1) + 1;
    }
    wake_.notify_one();
    return request;
}

void CPathDlgWorker::Stop(const std::function<void()>& whileWaiting)
{
    {
        const std::lock_guard lock(mutex_);
        stop_.store(true);
    }
    wake_.notify_one();
    while (running_.load()) {
        if (whileWaiting)
            whileWaiting();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (thread_.joinable())
        thread_.join();
}

bool CPathDlgWorker::Cancelled(std::uint64_t request) const
{
    return stop_.load() || latest_.load() != request;
}

void CPathDlgWorker::Run()
{
    ListDrives();
    for (;;) {
        std::string folder;
        std::uint64_t request = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_.load() || pending_.has_value(); });
            if (stop_.load())
                break;
            folder = std::move(*pending_);
            pending_.reset();
            request = latest_.load();
        }
        List(folder, request);
    }
    running_.store(false);
}

void CPathDlgWorker::ListDrives()
{
    std::vector<PathDlgDrive> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (stop_.load())
            return;
        if (!volume.isValid() || !volume.isReady())
            continue;
        struct stat info{};
        const QByteArray root = volume.rootPath().toLocal8Bit();
        if (::stat(root.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
            continue;  // files bound over files, as containers do with /etc/hosts
        PathDlgDrive drive;
        drive.root = root.toStdString();
        drive.network = IsNetworkFileSystem(volume.fileSystemType());
        const QString name = volume.name();
        drive.label = name.isEmpty() || name == volume.rootPath()
            ? volume.rootPath()
            : name + QStringLiteral(" (") + volume.rootPath() + QLatin1Char(')');
        drives.push_back(std::move(drive));
    }
    std::sort(drives.begin(), drives.end(), [](const PathDlgDrive& a, const PathDlgDrive& b) { return a.root < b.root; });
    if (callbacks_.drivesReady)
        callbacks_.drivesReady(std::move(drives));
}

void CPathDlgWorker::List(const std::string& folder, std::uint64_t request)
{
    const DirHandle dir(::opendir(folder.c_str()));
    if (!dir) {
        if (!Cancelled(request) && callbacks_.listed)
            callbacks_.listed(request, false);
        return;
    }

    std::vector<std::string> batch;
    std::size_t batchLimit = kFirstBatch;
    auto lastPost = Clock::now();
    const auto post = [&] {
        std::sort(batch.begin(), batch.end(), [](const std::string& a, const std::string& b) { return PathNameLess(a, b); });
        if (callbacks_.batch)
            callbacks_.batch(request, std::move(batch));
        batch.clear();
        batchLimit = kLaterBatch;
        lastPost = Clock::now();
    };

    while (const dirent* entry = ::readdir(dir.get())) {
        if (Cancelled(request))
            return;
        if (!IsListedName(entry->d_name) || !IsFolderEntry(folder, *entry))
            continue;
        batch.emplace_back(entry->d_name);
        if (batch.size() >= batchLimit || Clock::now() - lastPost >= kBatchInterval)
            post();
    }
    if (Cancelled(request))
        return;
    if (!batch.empty())
        post();
    if (callbacks_.listed)
        callbacks_.listed(request, true);
}
