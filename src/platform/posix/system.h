#pragma once

#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/system_folders.h"
#include "platform/telephony.h"
#include "platform/volume.h"

namespace regwiz::platform::posix {

// The computer's clock in its local time zone.
class SystemClock final : public Clock {
public:
    LocalTime Now() const override;
};

// Programs live in /opt, each in a folder of its own.
class PosixFolders final : public SystemFolders {
public:
    std::filesystem::path ProgramFiles() const override { return "/opt"; }
    // Found with dladdr from code of the component's own library.
    std::filesystem::path ComponentFolder() const override;
};

// The system drive is the root file system; its serial number the low 32 bits
// of the file-system id.
class RootVolume final : public VolumeInfo {
public:
    std::optional<std::uint32_t> SystemVolumeSerial() const override;
};

// The dialling location kept in the registry, under
// HKEY_LOCAL_MACHINE\SOFTWARE\quorvale\1.0\Telephony: "CountryCode" and
// "CityCode" (strings). Missing values: the query fails.
class RegistryTelephony final : public Telephony {
public:
    static constexpr const char* kKey = "SOFTWARE\\quorvale\\1.0\\Telephony";
    static constexpr long kRequestFailed = -16; // TAPIERR_REQUESTFAILED

    explicit RegistryTelephony(Registry& registry) : registry_(registry) {}
    long GetLocationInfo(std::string& countryCode, std::string& cityCode) override;

private:
    Registry& registry_;
};

} // namespace regwiz::platform::posix
