#pragma once

#include <filesystem>
#include <string>

namespace regwiz::platform::win32 {

// A path as the "A" functions take it: in the system's ANSI code page, made
// absolute (a bare name would send the profile functions to the Windows folder).
std::string AnsiPath(const std::filesystem::path& path);

} // namespace regwiz::platform::win32
