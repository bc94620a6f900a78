#pragma once

#include "platform/files.h"

namespace regwiz::platform::posix {

// Files of the local file system.
class PosixFiles final : public Files {
public:
    std::optional<std::string> Read(const std::filesystem::path& file) const override;
    FileFailure Append(const std::filesystem::path& file, std::string_view bytes) override;
    bool IsFile(const std::filesystem::path& path) const override;
    std::vector<std::string> FileNames(const std::filesystem::path& folder) const override;
    bool Remove(const std::filesystem::path& file) override;
    bool CreateFolders(const std::filesystem::path& folder) override;
};

} // namespace regwiz::platform::posix
