#include "diagnostics/log_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "diagnostics/regional_format.h"
#include "platform/codepage.h"
#include "platform/errors.h"

namespace regwiz::diagnostics {
namespace {

constexpr std::string_view kLogName = "quorvale.log";
constexpr std::string_view kProgramFolder = "quorvale 4.02";

RunTimeError FileError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return RunTimeError(err::PathNotFound, "Path not found");
    case EACCES:
    case EPERM:
    case EROFS:
        return RunTimeError(err::PermissionDenied, "Permission denied");
    case ENOSPC:
        return RunTimeError(err::DiskFull, "Disk full");
    default:
        return RunTimeError(err::PathFileAccessError, "Path/File access error");
    }
}

void AppendLine(const std::filesystem::path& file, const std::string& line)
{
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        throw FileError(errno);
    // O_APPEND writes the line at the end in one piece, even with a second
    // writer on the same file.
    ssize_t written = ::write(fd, line.data(), line.size());
    int error = written < 0 ? errno : 0;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && written != static_cast<ssize_t>(line.size()))
        error = ENOSPC;
    if (error != 0)
        throw FileError(error);
}

} // namespace

void LogFile::WriteLog(std::string_view module, std::string_view procedure,
                       std::string_view message)
{
    const platform::LocalTime now = ports_.clock.Now(); // time and date of one reading
    std::string line = LongTime(now) + " " + LongDate(now) + " ";
    line.append(module).append("(").append(procedure).append("): ").append(message);

    if (globals_.gAppPath.empty())
        globals_.gAppPath = (ports_.folders.ProgramFiles() / kProgramFolder).string();
    AppendLine(AppFile(globals_, kLogName), platform::ToAnsi(line) + "\r\n");
}

} // namespace regwiz::diagnostics
