#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_files.h"

namespace regwiz::platform::posix {

// The text of a profile file, in Windows-1252, as the file functions below read
// and change it. Names are matched upper case without surrounding blanks.

// The key's value in the first section of that name (blanks around it and one
// pair of enclosing quotes removed), or nullopt when the section or key is missing.
std::optional<std::string> ProfileValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// The text with key=value set in the section: the key's line replaced, or a line
// added at the end of the section, or the section added at the end of the text;
// every other line kept. Names and value must hold no line break.
std::string WithProfileSetting(std::string text, std::string_view section, std::string_view key,
                               std::string_view value);

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
    bool WriteStrings(const std::filesystem::path& file, std::string_view section,
                      std::span<const ProfileEntry> entries, Durability durability) override;
    bool DeleteSection(const std::filesystem::path& file, std::string_view section) override;
    bool HasSection(const std::filesystem::path& file, std::string_view section) override;
};

} // namespace regwiz::platform::posix
