#include "platform/posix/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace regwiz::platform::posix {
namespace {

std::atomic<std::uint64_t> replacements{0};
std::atomic<std::uint64_t> syncs{0};

int Sync(int fd)
{
    ++syncs;
    return ::fsync(fd);
}

// An open file descriptor, closed when it goes.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    int release()
    {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

int WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Settings are their owner's alone: a new file is 0600, and a file being
// replaced keeps its owner's permissions (read and write at least) but none for
// the group or others, whatever the umask or an earlier install left. The
// registry holds the scrambled password and the registration server's address.
mode_t PrivateModeOf(const std::filesystem::path& file)
{
    constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0)
        return (st.st_mode & S_IRWXU) | kOwnerReadWrite;
    return kOwnerReadWrite;
}

int ReplaceFile(const std::filesystem::path& file, int dirFd, std::string_view content, Flush flush)
{
    // One temporary name per file: the lock makes it ours, and a leftover of a
    // writer that died is simply overwritten.
    const std::filesystem::path temp =
        file.parent_path() / ("." + file.filename().string() + ".tmp");
    const mode_t mode = PrivateModeOf(file);
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
    if (!out.ok())
        return errno;
    ::fchmod(out.get(), mode);
    int rc = WriteAll(out.get(), content);
    if (rc == 0 && flush == Flush::ToDisk && Sync(out.get()) != 0)
        rc = errno;
    if (rc == 0 && ::close(out.release()) != 0)
        rc = errno;
    if (rc == 0 && ::rename(temp.c_str(), file.c_str()) != 0)
        rc = errno;
    if (rc != 0) {
        ::unlink(temp.c_str());
        return rc;
    }
    if (flush == Flush::ToDisk)
        Sync(dirFd); // the rename itself reaches the disk
    ++replacements;
    return 0;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, int& error)
{
    error = 0;
    Fd in(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.ok()) {
        if (errno != ENOENT && errno != ENOTDIR)
            error = errno;
        return std::nullopt;
    }
    // Into a buffer of the file's size and one byte more, so a whole file
    // takes one read and the next one finds its end; a file that grows
    // meanwhile is read to its end all the same.
    constexpr std::size_t kGrowth = 65536;
    std::string content;
    struct stat st {};
    if (::fstat(in.get(), &st) == 0 && st.st_size > 0)
        content.reserve(static_cast<std::size_t>(st.st_size) + 1);
    for (;;) {
        const std::size_t before = content.size();
        const std::size_t room =
            content.capacity() > before ? content.capacity() - before : kGrowth;
        content.resize(before + room);
        const ssize_t n = ::read(in.get(), content.data() + before, room);
        content.resize(before + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return std::nullopt;
        }
        if (n == 0)
            return content;
    }
}

FileReplacements CountedReplacements()
{
    return {replacements.load(), syncs.load()};
}

int UpdateFile(const std::filesystem::path& file, const FileChange& change, Flush flush)
{
    std::filesystem::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok())
        return errno;
    while (::flock(dir.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return errno;
    }
    int error = 0;
    std::optional<std::string> current = ReadWholeFile(file, error);
    if (error != 0)
        return error;
    std::optional<std::string> next = change(current);
    if (!next)
        return 0;
    return ReplaceFile(file, dir.get(), *next, flush);
    // The lock goes with the folder's descriptor.
}

} // namespace regwiz::platform::posix
