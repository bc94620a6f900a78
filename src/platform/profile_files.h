#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace regwiz::platform {

// A key and its value, as WriteStrings sets them.
struct ProfileEntry {
    std::string key;
    std::string value;
};

// Whether a write waits until it is on the disk, so it survives a crash of
// the machine (what the member's account hangs on), or is left to the system
// (scratch settings the member can give again). A reader sees the old file or
// the new one either way.
enum class Durability { SurvivesCrash, Scratch };

// The private-profile (.ini) functions. Texts are UTF-8 here and Windows-1252
// in the file; sections and keys are matched without regard to case or
// surrounding blanks, and the first occurrence wins.
class ProfileFiles {
public:
    virtual ~ProfileFiles() = default;

    // GetPrivateProfileStringA: the value (blanks around it and one pair of
    // enclosing quotes removed), or `defaultText` when the file, section or key
    // is missing; cut to `bufferSize` - 1 characters as a buffer of that size
    // would hold it.
    virtual std::string GetString(const std::filesystem::path& file, std::string_view section,
                                  std::string_view key, std::string_view defaultText,
                                  std::size_t bufferSize) = 0;

    // GetPrivateProfileIntA: the value's leading decimal number, or `defaultValue`.
    virtual int GetInt(const std::filesystem::path& file, std::string_view section,
                       std::string_view key, int defaultValue) = 0;

    // WritePrivateProfileStringA: sets key=value in the section, creating the
    // file, section and key as needed and keeping every other line. False when
    // the file cannot be written.
    virtual bool WriteString(const std::filesystem::path& file, std::string_view section,
                             std::string_view key, std::string_view value) = 0;

    // WritePrivateProfileStringA for several keys of one section, in order,
    // as one write of the file: settings that belong together are replaced
    // together. False when the file cannot be written.
    virtual bool WriteStrings(const std::filesystem::path& file, std::string_view section,
                              std::span<const ProfileEntry> entries, Durability durability);

    // WritePrivateProfileStringA with no key: removes the section's header and
    // every line up to the next section. True also when there was no such
    // section; false when the file cannot be written.
    virtual bool DeleteSection(const std::filesystem::path& file, std::string_view section) = 0;

    // Whether the file has a section of that name, even one without keys.
    virtual bool HasSection(const std::filesystem::path& file, std::string_view section) = 0;
};

} // namespace regwiz::platform
