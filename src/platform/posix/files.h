#pragma once

#include "platform/standard_files.h"

namespace regwiz::platform::posix {

// Files of the local file system.
class PosixFiles final : public StandardFiles {
public:
    std::optional<std::string> Read(const std::filesystem::path& file) const override;
    FileFailure Append(const std::filesystem::path& file, std::string_view bytes) override;
};

} // namespace regwiz::platform::posix
