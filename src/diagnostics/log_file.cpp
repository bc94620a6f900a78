#include "diagnostics/log_file.h"

#include "platform/codepage.h"
#include "platform/errors.h"

namespace regwiz::diagnostics {
namespace {

constexpr std::string_view kLogName = "quorvale.log";
constexpr std::string_view kProgramFolder = "quorvale 4.02";

// The run-time error the wizard reports for a log it cannot write.
RunTimeError LogError(platform::FileFailure failure)
{
    switch (failure) {
    case platform::FileFailure::PathNotFound:
        return RunTimeError(err::PathNotFound, "Path not found");
    case platform::FileFailure::PermissionDenied:
        return RunTimeError(err::PermissionDenied, "Permission denied");
    case platform::FileFailure::DiskFull:
        return RunTimeError(err::DiskFull, "Disk full");
    default:
        return RunTimeError(err::PathFileAccessError, "Path/File access error");
    }
}

} // namespace

void LogFile::WriteLog(std::string_view module, std::string_view procedure,
                       std::string_view message)
{
    const platform::LocalTime now = ports_.clock.Now(); // time and date of one reading
    std::string line = ports_.regional.LongTime(now) + " " + ports_.regional.LongDate(now) + " ";
    line.append(module).append("(").append(procedure).append("): ").append(message);

    if (globals_.gAppPath.empty())
        globals_.gAppPath = (ports_.folders.ProgramFiles() / kProgramFolder).string();
    const platform::FileFailure failure =
        ports_.files.Append(AppFile(globals_, kLogName), platform::ToAnsi(line) + "\r\n");
    if (failure != platform::FileFailure::None)
        throw LogError(failure);
}

} // namespace regwiz::diagnostics
