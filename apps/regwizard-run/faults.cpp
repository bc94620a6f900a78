#include "regwizard-run/faults.h"

#include <vector>

namespace regwiz::runner {
namespace {

constexpr long kDiskFull = 112; // ERROR_DISK_FULL

} // namespace

bool FaultPlan::Fails(const std::string& kind)
{
    if (!counting_)
        return false;
    const long number = ++counts_[kind];
    const auto range = ranges_.find(kind);
    return range != ranges_.end() && number >= range->second.first
           && number <= range->second.second;
}

long FaultPlan::Count(const std::string& kind) const
{
    const auto count = counts_.find(kind);
    return count == counts_.end() ? 0 : count->second;
}

long FaultyRegistry::SetValue(platform::KeyHandle key, std::string_view name, std::uint32_t type,
                              std::span<const std::uint8_t> data)
{
    if (plan_.Fails("registry-write"))
        return kDiskFull;
    return inner_.SetValue(key, name, type, data);
}

bool FaultyProfileFiles::Fails(const std::filesystem::path& file)
{
    return IsBelow(file, app_) && plan_.Fails("file-write");
}

bool FaultyProfileFiles::WriteString(const std::filesystem::path& file, std::string_view section,
                                     std::string_view key, std::string_view value)
{
    return !Fails(file) && inner_.WriteString(file, section, key, value);
}

bool FaultyProfileFiles::WriteStrings(const std::filesystem::path& file, std::string_view section,
                                      std::span<const platform::ProfileEntry> entries,
                                      platform::Durability durability)
{
    std::vector<platform::ProfileEntry> kept;
    for (const platform::ProfileEntry& entry : entries) {
        if (!Fails(file))
            kept.push_back(entry);
    }
    return inner_.WriteStrings(file, section, kept, durability) && kept.size() == entries.size();
}

bool FaultyProfileFiles::DeleteSection(const std::filesystem::path& file, std::string_view section)
{
    return !Fails(file) && inner_.DeleteSection(file, section);
}

platform::FileFailure FaultyFiles::Append(const std::filesystem::path& file, std::string_view bytes)
{
    if (IsBelow(file, app_) && plan_.Fails("file-write"))
        return platform::FileFailure::DiskFull;
    return inner_.Append(file, bytes);
}

bool IsBelow(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    const std::filesystem::path relative =
        file.lexically_normal().lexically_relative(folder.lexically_normal());
    return !relative.empty() && *relative.begin() != "..";
}

} // namespace regwiz::runner
