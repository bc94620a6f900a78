// The Windows desktop: the real registry and profile functions, message boxes,
// the thread's message loop, WinINet and RAS.
//
// Dial-up goes through RAS unless the string value "Modem" under
// HKLM\SOFTWARE\quorvale\1.0 is "Simulated" (any case) or RAS lists no
// dial-up device (as under wine, whose RAS is only a stub): then the simulated
// modem dials instead. The simulated modem is configured by "modem.ini" in the user's
// application-data folder, "%APPDATA%\quorvale" (see dialup::sim::Configure), and keeps its phone
// book in "phonebook.ini" there.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "dialup/sim/simulated_modem.h"
#include "platform/default_platform.h"
#include "platform/win32/ras_access_win32.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_platform_parts.h"
#include "platform/win32/win32_profile_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "store/globals.h"

namespace regwiz::platform {
namespace {

// "%APPDATA%\quorvale", created when missing.
std::filesystem::path SettingsFolder()
{
    wchar_t appData[MAX_PATH];
    std::filesystem::path folder =
        SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))
            ? std::filesystem::path(appData)
            : std::filesystem::temp_directory_path();
    folder /= "quorvale";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

// The registry value that asks for the simulated modem, and what it says then.
constexpr const char* kModemValue = "Modem";
constexpr const char* kSimulatedModem = "Simulated";

bool SimulatedModemRequested()
{
    const std::string path(kSystemKey);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char text[64] = {};
    DWORD type = 0;
    DWORD size = sizeof text - 1; // room for the null a stored text may lack
    const bool read =
        RegQueryValueExA(key, kModemValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size)
            == ERROR_SUCCESS
        && type == REG_SZ;
    RegCloseKey(key);
    return read && lstrcmpiA(text, kSimulatedModem) == 0;
}

bool UseSimulatedModem()
{
    std::vector<RASDEVINFOA> devices;
    return SimulatedModemRequested()
           || win32::ListRasDevices(win32::SystemRasApi(), devices) != ERROR_SUCCESS
           || devices.empty();
}

class WindowsPlatform final : public DefaultPlatform {
public:
    explicit WindowsPlatform(const std::filesystem::path& settingsFolder)
        : modem_(*loop_, profiles_, settingsFolder / "phonebook.ini")
    {
        dialup::sim::Configure(modem_, profiles_, settingsFolder / "modem.ini");
    }

    Ports& ThePorts() override { return ports_; }
    wizard::FormViewFactory ViewFactory() const override { return win32::MakeWin32ViewFactory(); }

private:
    win32::Win32Registry registry_;
    win32::Win32ProfileFiles profiles_;
    win32::Win32Files files_;
    win32::Win32MessageBoxes boxes_;
    win32::Win32MousePointer pointer_;
    win32::LocalClock clock_;
    win32::UserLocaleSettings regional_;
    win32::Win32Folders folders_;
    std::unique_ptr<EventLoop> loop_ = win32::MakeWin32EventLoop();
    win32::BrowserHelp help_;
    win32::SystemDriveVolume volume_;
    win32::Win32Screen screen_;
    win32::TapiTelephony telephony_;
    dialup::sim::ModemLine modem_;
    RasAccessFactory dialUp_ =
        UseSimulatedModem() ? modem_.Factory() : win32::MakeRasAccessFactory(*loop_);
    Ports ports_{registry_, profiles_, files_,     boxes_,  pointer_,
                 clock_,    regional_, folders_,   *loop_,  help_,
                 volume_,   screen_,   telephony_, dialUp_, win32::MakeWinInetFactory(*loop_)};
};

} // namespace

DefaultPlatform& TheDefaultPlatform()
{
    static const win32::Win32CodePage codePage;
    InstallCodePage(&codePage);
    static WindowsPlatform platform(SettingsFolder());
    return platform;
}

} // namespace regwiz::platform
