#include "platform/posix/files.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/atomic_file.h"

namespace regwiz::platform::posix {
namespace {

FileFailure FailureOf(int error)
{
    switch (error) {
    case 0:
        return FileFailure::None;
    case ENOENT:
    case ENOTDIR:
        return FileFailure::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileFailure::PermissionDenied;
    case ENOSPC:
        return FileFailure::DiskFull;
    default:
        return FileFailure::Other;
    }
}

} // namespace

std::optional<std::string> PosixFiles::Read(const std::filesystem::path& file) const
{
    int error = 0;
    std::optional<std::string> bytes = ReadWholeFile(file, error);
    if (error != 0)
        return std::nullopt;
    return bytes;
}

FileFailure PosixFiles::Append(const std::filesystem::path& file, std::string_view bytes)
{
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return FailureOf(errno);
    // O_APPEND writes the bytes at the end in one piece, even with a second
    // writer on the same file.
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    int error = written < 0 ? errno : 0;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && written != static_cast<ssize_t>(bytes.size()))
        error = ENOSPC;
    return FailureOf(error);
}

} // namespace regwiz::platform::posix
