#include "platform/win32/win32_text.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace regwiz::platform::win32 {

std::string AnsiPath(const std::filesystem::path& path)
{
    std::error_code ignored;
    std::filesystem::path full = std::filesystem::absolute(path, ignored);
    if (full.empty())
        full = path;
    const std::wstring wide = full.native();
    if (wide.empty())
        return {};
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), size, nullptr, nullptr);
    return ansi;
}

} // namespace regwiz::platform::win32
