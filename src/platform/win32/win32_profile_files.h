#pragma once

#include "platform/profile_files.h"

namespace regwiz::platform::win32 {

// The system's private-profile functions ("A"), texts converted between UTF-8
// and Windows-1252 at the call. A name or value holding a line break is never
// written.
class Win32ProfileFiles final : public ProfileFiles {
public:
    std::string GetString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultText,
                          std::size_t bufferSize) override;
    int GetInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
               int defaultValue) override;
    bool WriteString(const std::filesystem::path& file, std::string_view section,
                     std::string_view key, std::string_view value) override;
    bool WriteStrings(const std::filesystem::path& file, std::string_view section,
                      std::span<const ProfileEntry> entries, Durability durability) override;
    bool DeleteSection(const std::filesystem::path& file, std::string_view section) override;
    bool HasSection(const std::filesystem::path& file, std::string_view section) override;
};

} // namespace regwiz::platform::win32
