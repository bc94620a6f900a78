// Shows the component's foundation at work in a demo home folder: the settings
// store over the registry files, the diagnostic log and the password scrambling.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "diagnostics/log_file.h"
#include "platform/posix/profile_files.h"
#include "platform/posix/registry_files.h"
#include "platform/posix/system.h"
#include "store/crypt.h"
#include "store/mod_registry.h"

namespace {

using namespace regwiz;

// Message boxes on the terminal, answered with their default button.
class ConsoleBoxes final : public platform::MessageBoxes {
public:
    platform::Answer Show(const std::string& text, const std::string& title, int style) override
    {
        std::cout << "[message box \"" << title << "\", style " << style << "] " << text << "\n";
        return platform::DefaultAnswer(style);
    }
};

class ConsolePointer final : public platform::MousePointer {
public:
    void SetScreenPointer(int shape) override { shape_ = shape; }
    int ScreenPointer() const override { return shape_; }

private:
    int shape_ = platform::pointer::Default;
};

std::string FileText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path home = std::filesystem::absolute(argc > 1 ? argv[1] : "demo");
    const std::filesystem::path appFolder = home / "app";
    std::filesystem::create_directories(appFolder);

    platform::posix::RegistryFiles registry(home / "registry");
    platform::posix::PrivateProfileFiles profiles;
    platform::posix::SystemClock clock;
    platform::posix::PosixFolders folders;
    ConsoleBoxes boxes;
    ConsolePointer pointer;
    platform::Ports ports{registry, profiles, boxes, pointer, clock, folders};
    Globals globals;
    modRegistry store(ports, globals);
    diagnostics::LogFile log(ports, globals);

    Variant appPath;
    long status = store.fReadValue(kSystemHive, kSystemKey, "AppPath", "S", "No Value", appPath);
    std::cout << "AppPath read: status " << status << ", \"" << CStr(appPath) << "\"\n";
    if (status != 0) {
        store.WriteSetting("AppPath", appFolder.string(), "S");
        appPath = appFolder.string();
    }
    globals.gAppPath = CStr(appPath);
    store.WriteSetting("Log", "True", "S");

    log.WriteLog("RegWizard", "Class_Initialize",
                 "------------------------ BEGIN ------------------------");
    log.WriteLog("RegWizard", "Class_Terminate",
                 "------------------------  END  ------------------------");

    std::cout << "Password \"secret\" is stored as " << crypt::Encrypt("secret") << "\n\n";
    std::cout << "Registry file " << registry.HiveFile(platform::Hive::LocalMachine) << ":\n"
              << FileText(registry.HiveFile(platform::Hive::LocalMachine)) << "\n";
    std::cout << "Log file " << AppFile(globals, "quorvale.log") << ":\n"
              << FileText(AppFile(globals, "quorvale.log"));
    return 0;
}
