#pragma once

#include <filesystem>
#include <memory>

#include "platform/ports.h"
#include "wizard/form_view.h"

namespace regwiz::ui::qt {

// Every service the component needs on a Linux desktop: the registry and .ini
// files, the Qt window, message boxes, help and event loop, libcurl for the
// transfers and the simulated modem. Needs a QApplication.
//
// The modem is configured by "modem.ini" beside the registry folder:
//   [Devices]  1=<type>|<name>, 2=..., in order
//   [Network]  Number=<the registration server's number, e.g. 18005550142>
// and keeps its phone book in "phonebook.ini" there.
class DesktopPlatform {
public:
    explicit DesktopPlatform(std::filesystem::path registryFolder);
    ~DesktopPlatform();
    DesktopPlatform(const DesktopPlatform&) = delete;
    DesktopPlatform& operator=(const DesktopPlatform&) = delete;

    // A host that is no Qt program gets an application object made on its
    // thread, so the window has one to run in.
    static void EnsureApplication();

    // $QUORVALE_REGISTRY, else the per-user default folder.
    static std::filesystem::path DefaultRegistryFolder();

    platform::Ports& Ports();
    wizard::FormViewFactory ViewFactory() const;

private:
    struct Services;
    std::unique_ptr<Services> services_;
};

} // namespace regwiz::ui::qt
