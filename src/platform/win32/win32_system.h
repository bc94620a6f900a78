#pragma once

#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "platform/system_folders.h"
#include "platform/telephony.h"
#include "platform/volume.h"

struct HINSTANCE__; // HMODULE

namespace regwiz::platform::win32 {

// The computer's clock in local time (GetLocalTime).
class LocalClock final : public Clock {
public:
    LocalTime Now() const override;
};

// The user's locale (LOCALE_USER_DEFAULT): its long time and long date forms
// and its number marks, read anew on every call.
class UserLocaleSettings final : public RegionalSettings {
public:
    std::string LongTime(const LocalTime& t) const override;
    std::string LongDate(const LocalTime& t) const override;
    std::string DecimalSeparator() const override;
    std::string ThousandsSeparator() const override;
};

// The Program Files folder, and the folder of the component's module: the one
// the COM server hands over, or else the module this code was linked into.
// Paths come from the wide functions, so no folder name is lost to the code page.
class Win32Folders final : public SystemFolders {
public:
    std::filesystem::path ProgramFiles() const override;
    std::filesystem::path ComponentFolder() const override;
    // The component's module, for the whole process (the COM server's DLL
    // hands its own over when it is loaded).
    static void SetComponentModule(HINSTANCE__* module);
};

// The volume the Windows folder is on.
class SystemDriveVolume final : public VolumeInfo {
public:
    std::optional<std::uint32_t> SystemVolumeSerial() const override;
};

// The telephony service's current location (tapiGetLocationInfoA).
class TapiTelephony final : public Telephony {
public:
    long GetLocationInfo(std::string& countryCode, std::string& cityCode) override;
};

} // namespace regwiz::platform::win32
