#pragma once

#include "platform/standard_files.h"

namespace regwiz::platform::win32 {

// Files of the local file system, read and appended with the system's own
// file functions (wide paths, so any name works).
class Win32Files final : public StandardFiles {
public:
    std::optional<std::string> Read(const std::filesystem::path& file) const override;
    FileFailure Append(const std::filesystem::path& file, std::string_view bytes) override;
};

} // namespace regwiz::platform::win32
