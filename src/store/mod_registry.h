#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/ports.h"
#include "platform/profile_files.h"
#include "platform/variant.h"
#include "store/globals.h"

namespace regwiz {

// The settings store: one read and one write for named values that live in
// the registry (location = a hive abbreviation) or in an .ini file (location =
// the path of an existing file). Status 0 is success, 99 a location that is
// neither, anything else the registry's own error code.
class modRegistry {
public:
    static constexpr long kStatusNoLocation = 99;
    static constexpr long kIniFile = 1;

    modRegistry(platform::Ports& ports, Globals& globals) : ports_(ports), globals_(globals) {}

    // The hive handle of an abbreviation ("HKLM", any case), 1 for an existing
    // .ini file, 0 for neither.
    long fTopKey(std::string_view location);

    // On every failure `value` holds `defaultValue`.
    long fReadValue(std::string_view location, std::string_view key, std::string_view name,
                    std::string_view type, const Variant& defaultValue, Variant& value);

    long fWriteValue(std::string_view location, std::string_view key, std::string_view name,
                     std::string_view type, const Variant& value);

    // Several texts under one key (an .ini file's section) as fWriteValue
    // writes each, in one write where the location allows it.
    long fWriteTexts(std::string_view location, std::string_view key,
                     std::span<const platform::ProfileEntry> texts,
                     platform::Durability durability);

    // A value under the system's own registry key.
    long WriteSetting(std::string_view name, const std::string& text, std::string_view type);

    // A text from an .ini file below the application folder; empty on any failure.
    std::string ReadConfigString(std::string_view fileName, std::string_view section,
                                 std::string_view key);

    // The file port the store's own .ini files are reached through.
    platform::Files& Files() const { return ports_.files; }

private:
    long ReadIniValue(std::string_view file, std::string_view section, std::string_view name,
                      std::string_view type, const Variant& defaultValue, Variant& value);
    long ReadRegistryValue(platform::Hive hive, std::string_view key, std::string_view name,
                           std::string_view type, Variant& value);
    long WriteRegistryValue(platform::Hive hive, std::string_view key, std::string_view name,
                            std::string_view type, const Variant& value);
    long WriteFailed(long status);

    platform::Ports& ports_;
    Globals& globals_;
};

} // namespace regwiz
