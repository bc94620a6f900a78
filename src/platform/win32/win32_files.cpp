#include "platform/win32/win32_files.h"

#include <algorithm>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace regwiz::platform::win32 {
namespace {

FileFailure FailureOf(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS:
        return FileFailure::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return FileFailure::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileFailure::PermissionDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileFailure::DiskFull;
    default:
        return FileFailure::Other;
    }
}

// Closes the handle when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle()
    {
        if (valid())
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

std::optional<std::string> Win32Files::Read(const std::filesystem::path& file) const
{
    const Handle handle(CreateFileW(file.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid())
        return std::nullopt; // missing, a folder, or not ours to read
    // Into a buffer of the file's size and one byte more, so a whole file
    // takes one read and the next one finds its end; a file that grows
    // meanwhile is read to its end all the same.
    constexpr std::size_t kGrowth = 65536;
    std::string bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(handle.get(), &size) != FALSE && size.QuadPart > 0)
        bytes.reserve(static_cast<std::size_t>(size.QuadPart) + 1);
    for (;;) {
        const std::size_t before = bytes.size();
        const std::size_t room = std::min<std::size_t>(
            bytes.capacity() > before ? bytes.capacity() - before : kGrowth, MAXDWORD);
        bytes.resize(before + room);
        DWORD got = 0;
        const BOOL read =
            ReadFile(handle.get(), bytes.data() + before, static_cast<DWORD>(room), &got, nullptr);
        bytes.resize(before + got);
        if (read == FALSE)
            return std::nullopt;
        if (got == 0)
            return bytes;
    }
}

FileFailure Win32Files::Append(const std::filesystem::path& file, std::string_view bytes)
{
    // A handle with only FILE_APPEND_DATA writes each piece at the end of the
    // file as it is then, also with a second writer.
    const Handle handle(CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid())
        return FailureOf(GetLastError());
    DWORD written = 0;
    if (WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        == FALSE)
        return FailureOf(GetLastError());
    return written == bytes.size() ? FileFailure::None : FileFailure::DiskFull;
}

} // namespace regwiz::platform::win32
