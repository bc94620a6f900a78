#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace regwiz::platform {

// Why a file could not be written, in the classes the wizard reports.
enum class FileFailure { None, PathNotFound, PermissionDenied, DiskFull, Other };

// Plain file access of the core: whole files read at once, the log appended
// to, the few checks and folder changes the wizard makes. Registry and profile
// files have ports of their own.
class Files {
public:
    virtual ~Files() = default;
    // The file's bytes; nothing when it is missing, a folder or unreadable.
    virtual std::optional<std::string> Read(const std::filesystem::path& file) const = 0;
    // Adds `bytes` at the end in one piece, creating the file when missing
    // (its folder must exist); a second writer's appends never interleave.
    virtual FileFailure Append(const std::filesystem::path& file, std::string_view bytes) = 0;
    // A file, not a folder, is there.
    virtual bool IsFile(const std::filesystem::path& path) const = 0;
    // The names of the files (not folders) directly in `folder`; none when
    // the folder cannot be read.
    virtual std::vector<std::string> FileNames(const std::filesystem::path& folder) const = 0;
    // False when the file was there and could not be removed.
    virtual bool Remove(const std::filesystem::path& file) = 0;
    // Creates the folder and its missing parents; true when it exists after.
    virtual bool CreateFolders(const std::filesystem::path& folder) = 0;
};

} // namespace regwiz::platform
