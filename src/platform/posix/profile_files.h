#pragma once

#include "platform/profile_files.h"

namespace regwiz::platform::posix {

// The private-profile functions over .ini files in Windows-1252 with CR LF
// line ends. A write changes only the line it concerns and replaces the file
// atomically under a lock, keeping comments and lines it does not understand.
class PrivateProfileFiles final : public ProfileFiles {
public:
    std::string GetString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultText,
                          std::size_t bufferSize) override;
    int GetInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
               int defaultValue) override;
    bool WriteString(const std::filesystem::path& file, std::string_view section,
                     std::string_view key, std::string_view value) override;
    bool DeleteSection(const std::filesystem::path& file, std::string_view section) override;
    bool HasSection(const std::filesystem::path& file, std::string_view section) override;
};

} // namespace regwiz::platform::posix
