#pragma once

#include "platform/clock.h"
#include "platform/system_folders.h"
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

} // namespace regwiz::platform::posix
