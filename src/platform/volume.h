#pragma once

#include <cstdint>
#include <optional>

namespace regwiz::platform {

// GetVolumeInformationA for the system drive, as far as the wizard asks it.
class VolumeInfo {
public:
    virtual ~VolumeInfo() = default;
    // The system drive's volume serial number; nothing when the query fails.
    virtual std::optional<std::uint32_t> SystemVolumeSerial() const = 0;
};

} // namespace regwiz::platform
