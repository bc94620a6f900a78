#pragma once

#include <optional>
#include <string>

#include "platform/volume.h"

namespace regwiz::wizard {

// The volume code of the system drive sent with the account request: the
// serial number's two halves in hexadecimal, each padded to four digits when
// it has no letters. Empty when the volume cannot be queried.
std::string GetVolumeSerial(const platform::VolumeInfo& volume);

// The same for a given serial number.
std::string VolumeCode(std::uint32_t serial);

} // namespace regwiz::wizard
