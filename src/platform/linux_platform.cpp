// The Linux desktop: registry and .ini files, the Qt window with its message
// boxes, help and event loop, libcurl for the transfers and the simulated modem.
//
// The modem is configured by "modem.ini" beside the registry folder (see
// dialup::sim::Configure) and keeps its phone book in "phonebook.ini" there.
#include "dialup/sim/simulated_modem.h"
#include "platform/curl/curl_inet.h"
#include "platform/default_platform.h"
#include "platform/posix/files.h"
#include "platform/posix/iconv_code_page.h"
#include "platform/posix/profile_files.h"
#include "platform/posix/regional_settings.h"
#include "platform/posix/registry_files.h"
#include "platform/posix/system.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/qt/qt_help.h"
#include "ui/qt/qt_message_boxes.h"
#include "ui/qt/qt_mouse_pointer.h"
#include "ui/qt/qt_screen.h"
#include "ui/qt/wizard_window.h"

namespace regwiz::platform {
namespace {

class LinuxPlatform final : public DefaultPlatform {
public:
    explicit LinuxPlatform(const std::filesystem::path& registryFolder)
        : registry_(registryFolder), telephony_(registry_),
          modem_(loop_, profiles_, registryFolder.parent_path() / "phonebook.ini")
    {
        dialup::sim::Configure(modem_, profiles_, registryFolder.parent_path() / "modem.ini");
    }

    Ports& ThePorts() override { return ports_; }
    wizard::FormViewFactory ViewFactory() const override { return ui::qt::MakeViewFactory(); }

private:
    posix::RegistryFiles registry_;
    posix::PrivateProfileFiles profiles_;
    posix::PosixFiles files_;
    ui::qt::QtMessageBoxes boxes_;
    ui::qt::QtMousePointer pointer_;
    posix::SystemClock clock_;
    posix::LocaleSettings regional_;
    posix::PosixFolders folders_;
    ui::qt::QtEventLoop loop_;
    ui::qt::QtHelp help_;
    posix::RootVolume volume_;
    ui::qt::QtScreen screen_;
    posix::RegistryTelephony telephony_;
    dialup::sim::ModemLine modem_;
    Ports ports_{registry_,  profiles_,        files_,
                 boxes_,     pointer_,         clock_,
                 regional_,  folders_,         loop_,
                 help_,      volume_,          screen_,
                 telephony_, modem_.Factory(), curl::MakeCurlInetFactory(loop_)};
};

} // namespace

DefaultPlatform& TheDefaultPlatform()
{
    static const posix::IconvCodePage codePage;
    InstallCodePage(&codePage);
    ui::qt::EnsureApplication();
    static LinuxPlatform platform(posix::RegistryFiles::DefaultFolder());
    return platform;
}

} // namespace regwiz::platform
