#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace regwiz::platform::posix {

// The whole content of a file, or nullopt when it does not exist. Other
// failures set `error` to the errno value.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, int& error);

// What an update makes of a file's current content (nullopt: no such file);
// nullopt back means nothing to write.
using FileChange =
    std::function<std::optional<std::string>(const std::optional<std::string>& current)>;

// Whether a replacement waits for the disk: the new file's bytes and the
// rename are flushed before UpdateFile returns, or left to the system.
enum class Flush { ToDisk, Lazily };

// Read-modify-write of one file, safe against other writers and against a
// crash: the change runs under an exclusive advisory lock on the file's folder,
// and the new content goes to a temporary file in that folder that is
// written whole (and flushed, with Flush::ToDisk) and then renamed over the
// old one, so a reader sees the old file or the new one, never a torn one. The new file is private
// to its owner (0600, or the owner's permissions of the file it replaces). Returns 0 or the errno
// value of the step that failed.
int UpdateFile(const std::filesystem::path& file, const FileChange& change,
               Flush flush = Flush::ToDisk);

// How many files this process has replaced, and how many times it waited for
// the disk, since it started: what the settings cost in writes.
struct FileReplacements {
    std::uint64_t replacements = 0;
    std::uint64_t syncs = 0;
};
FileReplacements CountedReplacements();

} // namespace regwiz::platform::posix
