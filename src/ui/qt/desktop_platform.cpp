#include "ui/qt/desktop_platform.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "dialup/sim/simulated_modem.h"
#include "platform/curl/curl_inet.h"
#include "platform/posix/files.h"
#include "platform/posix/profile_files.h"
#include "platform/posix/regional_settings.h"
#include "platform/posix/registry_files.h"
#include "platform/posix/system.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/qt/qt_help.h"
#include "ui/qt/qt_message_boxes.h"
#include "ui/qt/qt_mouse_pointer.h"
#include "ui/qt/wizard_window.h"

namespace regwiz::ui::qt {
namespace {

class QtScreen final : public platform::Screen {
public:
    int Width() const override { return Size().width(); }
    int Height() const override { return Size().height(); }

private:
    static QSize Size()
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->size() : QSize(1024, 768);
    }
};

// The devices and the network's number from the modem's configuration file.
void Configure(dialup::sim::ModemLine& modem, platform::ProfileFiles& profiles,
               const std::filesystem::path& file)
{
    for (int n = 1;; ++n) {
        const std::string device = profiles.GetString(file, "Devices", std::to_string(n), "", 255);
        if (device.empty())
            break;
        const std::size_t bar = device.find('|');
        modem.AddDevice(device.substr(0, bar),
                        bar == std::string::npos ? device : device.substr(bar + 1));
    }
    modem.SetRegistrationNumber(profiles.GetString(file, "Network", "Number", "", 255));
}

} // namespace

struct DesktopPlatform::Services {
    explicit Services(const std::filesystem::path& registryFolder)
        : registry(registryFolder), telephony(registry),
          modem(loop, profiles, registryFolder.parent_path() / "phonebook.ini")
    {
        Configure(modem, profiles, registryFolder.parent_path() / "modem.ini");
    }

    platform::posix::RegistryFiles registry;
    platform::posix::PrivateProfileFiles profiles;
    platform::posix::PosixFiles files;
    QtMessageBoxes boxes;
    QtMousePointer pointer;
    platform::posix::SystemClock clock;
    platform::posix::LocaleSettings regional;
    platform::posix::PosixFolders folders;
    QtEventLoop loop;
    QtHelp help;
    platform::posix::RootVolume volume;
    QtScreen screen;
    platform::posix::RegistryTelephony telephony;
    dialup::sim::ModemLine modem;
    platform::Ports ports{registry,  profiles,        files,
                          boxes,     pointer,         clock,
                          regional,  folders,         loop,
                          help,      volume,          screen,
                          telephony, modem.Factory(), platform::curl::MakeCurlInetFactory(loop)};
};

DesktopPlatform::DesktopPlatform(std::filesystem::path registryFolder)
    : services_(std::make_unique<Services>(registryFolder))
{
}

DesktopPlatform::~DesktopPlatform() = default;

void DesktopPlatform::EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "regwizard";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

std::filesystem::path DesktopPlatform::DefaultRegistryFolder()
{
    return platform::posix::RegistryFiles::DefaultFolder();
}

platform::Ports& DesktopPlatform::Ports()
{
    return services_->ports;
}

wizard::FormViewFactory DesktopPlatform::ViewFactory() const
{
    return MakeViewFactory();
}

} // namespace regwiz::ui::qt
