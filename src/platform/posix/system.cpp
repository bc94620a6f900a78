#include "platform/posix/system.h"

#include <ctime>
#include <dlfcn.h>
#include <sys/statvfs.h>

namespace regwiz::platform::posix {
namespace {
// An address inside whatever binary this file is linked into.
void ComponentFolderAnchor() {}
} // namespace

LocalTime SystemClock::Now() const
{
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                     tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

std::filesystem::path PosixFolders::ComponentFolder() const
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&ComponentFolderAnchor), &info) == 0
        || info.dli_fname == nullptr)
        return std::filesystem::current_path();
    std::error_code ignored;
    const std::filesystem::path file = std::filesystem::canonical(info.dli_fname, ignored);
    return file.empty() ? std::filesystem::path(info.dli_fname).parent_path() : file.parent_path();
}

std::optional<std::uint32_t> RootVolume::SystemVolumeSerial() const
{
    struct statvfs info {};
    if (::statvfs("/", &info) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(info.f_fsid & 0xFFFFFFFFu);
}

namespace {

std::optional<std::string> ReadText(Registry& registry, KeyHandle key, const char* name)
{
    std::uint8_t buffer[64];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    if (registry.QueryValue(key, name, type, buffer, size) != status::Success
        || type != regtype::Sz)
        return std::nullopt;
    std::string text(reinterpret_cast<const char*>(buffer), size);
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

} // namespace

long RegistryTelephony::GetLocationInfo(std::string& countryCode, std::string& cityCode)
{
    KeyHandle key = 0;
    if (registry_.OpenKey(Hive::LocalMachine, kKey, KeyAccess::QueryValue, key) != status::Success)
        return kRequestFailed;
    const auto country = ReadText(registry_, key, "CountryCode");
    const auto city = ReadText(registry_, key, "CityCode");
    registry_.CloseKey(key);
    if (!country || !city)
        return kRequestFailed;
    countryCode = *country;
    cityCode = *city;
    return 0;
}

} // namespace regwiz::platform::posix
