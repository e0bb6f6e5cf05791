#include "store/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <string>
#include <unistd.h>
#include <vector>

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

// A file that exists only until it is committed under its final name.
class CTemporaryFile {
public:
    CTemporaryFile(const std::filesystem::path& target, std::string_view extension)
    {
        std::string pattern = (target.parent_path() / ("." + target.stem().string() + "-XXXXXX")).native();
        pattern += extension;
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
        if (fd < 0)
            return;
        fd_ = std::make_unique<CFileDescriptor>(fd);
        path_ = name.data();
        ::fchmod(fd, PermissionsFor(target));
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
    // mkstemps makes the file private to its owner; the replacement should be as readable as
    // the file it replaces, or as a new file would be.
    static mode_t PermissionsFor(const std::filesystem::path& target)
    {
        struct stat status {};
        if (::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            return status.st_mode & 07777;
        return 0644;
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
