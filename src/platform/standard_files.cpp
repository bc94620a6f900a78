#include "platform/standard_files.h"

namespace regwiz::platform {

bool StandardFiles::IsFile(const std::filesystem::path& path) const
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

std::vector<std::string> StandardFiles::FileNames(const std::filesystem::path& folder) const
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error))
            names.push_back(entry.path().filename().string());
    }
    return names;
}

bool StandardFiles::Remove(const std::filesystem::path& file)
{
    std::error_code error;
    std::filesystem::remove(file, error);
    return !error;
}

bool StandardFiles::CreateFolders(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

} // namespace regwiz::platform
