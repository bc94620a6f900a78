#pragma once

#include "platform/files.h"

namespace regwiz::platform {

// What every platform does alike with the standard library's file system:
// checks, listings, removal and folder creation. Reading and appending are
// the platform's own.
class StandardFiles : public Files {
public:
    bool IsFile(const std::filesystem::path& path) const override;
    std::vector<std::string> FileNames(const std::filesystem::path& folder) const override;
    bool Remove(const std::filesystem::path& file) override;
    bool CreateFolders(const std::filesystem::path& folder) override;
};

} // namespace regwiz::platform
