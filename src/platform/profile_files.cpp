#include "platform/profile_files.h"

namespace regwiz::platform {

// The profile functions have no call for several keys: one call per key.
bool ProfileFiles::WriteStrings(const std::filesystem::path& file, std::string_view section,
                                std::span<const ProfileEntry> entries, Durability)
{
    bool written = true;
    for (const ProfileEntry& entry : entries)
        written = WriteString(file, section, entry.key, entry.value) && written;
    return written;
}

} // namespace regwiz::platform
