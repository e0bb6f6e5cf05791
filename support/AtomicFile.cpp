#include "support/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <string>
#include <unistd.h>

namespace {

class CFileDescriptor {
public:
    explicit CFileDescriptor(int fd) : fd_(fd) {}
    ~CFileDescriptor() { Close(); }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // False when the kernel reports a write error that surfaced only at closing.
    bool Close()
    {
        if (fd_ < 0)
            return true;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

// A name no other file in the folder has yet: the pid, a per-process count and a random word.
std::string FreshSuffix()
{
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    char text[40];
    std::snprintf(text, sizeof text, "-%ld-%x%08x", static_cast<long>(::getpid()), counter.fetch_add(1),
                  seed ^ static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return text;
}

// Extensions up to this length are kept on the temporary name; a longer one chooses no writer.
constexpr std::size_t kKeptExtension = 16;

// A file that exists only until it is committed under its final name. Its name is short and its
// own, not derived from the target's: the target's name may already take all 255 bytes a name
// can have.
class CTemporaryFile {
public:
    CTemporaryFile(const std::filesystem::path& target, std::string_view extension)
    {
        const std::string prefix = (target.parent_path() / ".quizmora").native();
        if (extension.size() > kKeptExtension)
            extension = {};
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = prefix + FreshSuffix();
            name += extension;
            // Created like any new file, 0666 less the umask; a replacement takes on the mode of
            // the file it replaces.
            const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                return;
            }
            fd_ = std::make_unique<CFileDescriptor>(fd);
            path_ = std::move(name);
            TakeOverOwnerAndMode(fd, target);
            return;
        }
    }
    ~CTemporaryFile()
    {
        if (fd_)
            fd_->Close();
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    explicit operator bool() const { return !path_.empty(); }
    const std::filesystem::path& Path() const { return path_; }
    CFileDescriptor& Descriptor() { return *fd_; }

    bool CommitAs(const std::filesystem::path& target)
    {
        if (::rename(path_.c_str(), target.c_str()) != 0)
            return false;
        path_.clear();
        SyncFolder(target.parent_path());
        return true;
    }

private:
    static void TakeOverOwnerAndMode(int fd, const std::filesystem::path& target)
    {
        struct stat status {};
        if (::stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            return;
        // Only root may give the file away; anybody else ends up owning it, as after writing in place.
        [[maybe_unused]] const int owned = ::fchown(fd, status.st_uid, status.st_gid);
        ::fchmod(fd, status.st_mode & 07777);
    }

    // The rename itself is on disk only once the folder is; a failure here loses nothing that
    // the rename has not already made visible.
    static void SyncFolder(const std::filesystem::path& folder)
    {
        const CFileDescriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd)
            ::fsync(fd.Get());
    }

    std::unique_ptr<CFileDescriptor> fd_;
    std::filesystem::path path_;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool SyncFile(const std::filesystem::path& path)
{
    CFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd && ::fsync(fd.Get()) == 0 && fd.Close();
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes)
{
    CTemporaryFile temporary(target, target.extension().string());
    if (!temporary)
        return false;
    CFileDescriptor& fd = temporary.Descriptor();
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0 || !fd.Close())
        return false;
    return temporary.CommitAs(target);
}

bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view extension,
                           const std::function<bool(const std::filesystem::path& temporary)>& write)
{
    CTemporaryFile temporary(target, extension);
    if (!temporary || !temporary.Descriptor().Close())
        return false;
    if (!write(temporary.Path()) || !SyncFile(temporary.Path()))
        return false;
    return temporary.CommitAs(target);
}
