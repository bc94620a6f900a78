#pragma once

#include <filesystem>

namespace regwiz::platform {

// Well-known folders of this computer.
class SystemFolders {
public:
    virtual ~SystemFolders() = default;
    // Where programs are installed, each in a folder of its own.
    virtual std::filesystem::path ProgramFiles() const = 0;
    // The folder the component itself was loaded from.
    virtual std::filesystem::path ComponentFolder() const = 0;
};

} // namespace regwiz::platform
