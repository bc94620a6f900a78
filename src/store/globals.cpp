#include "store/globals.h"

namespace regwiz {

std::filesystem::path AppFile(const Globals& globals, std::string_view relative)
{
    return FileBelow(globals.gAppPath, relative);
}

std::filesystem::path FileBelow(const std::filesystem::path& folder, std::string_view relative)
{
    std::filesystem::path file = folder;
    while (!relative.empty()) {
        std::size_t cut = relative.find_first_of("\\/");
        std::string_view part = relative.substr(0, cut);
        if (!part.empty())
            file /= part;
        relative = cut == std::string_view::npos ? std::string_view{} : relative.substr(cut + 1);
    }
    return file;
}

} // namespace regwiz
