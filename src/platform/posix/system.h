#pragma once

#include "platform/clock.h"
#include "platform/system_folders.h"

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

} // namespace regwiz::platform::posix
