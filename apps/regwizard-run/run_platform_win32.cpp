// A scenario's platform on Windows: the real registry, profile and file
// functions and WinINet, with the registry redirected for the run.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "regwizard-run/run_platform.h"

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/fake/virtual_event_loop.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_platform_parts.h"
#include "platform/win32/win32_profile_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "regwizard-run/scenario.h"

namespace regwiz::runner {
namespace {

// One number per run of this process: runs never share a key or a folder.
std::string RunName()
{
    static std::atomic<unsigned> runs{0};
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
}

// HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_CLASSES_ROOT redirected, for
// every registry call of the process, onto keys below a scratch key
// (HKCU\Software\RegWizardRuns\PID-N, made before the redirection), so a run
// starts empty, never sees another's values and leaves the machine's settings
// untouched. The scratch key is deleted at the end.
class ScratchRegistry {
public:
    ScratchRegistry() : scratch_("Software\\RegWizardRuns\\" + RunName())
    {
        for (const auto& [hive, name] : kHives) {
            HKEY key = nullptr;
            const std::string path = scratch_ + "\\" + name;
            // Another run ending meanwhile may remove the shared parent key
            // under our feet: creating the path again makes it anew.
            LSTATUS created = ERROR_NO_SYSTEM_RESOURCES;
            for (int attempt = 0; attempt < 5 && created != ERROR_SUCCESS; ++attempt)
                created = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                          nullptr);
            if (created != ERROR_SUCCESS) {
                Restore();
                throw ScenarioError{0, "cannot make the run's registry key " + path};
            }
            overrides_.emplace_back(hive, key);
        }
        for (const auto& [hive, key] : overrides_)
            RegOverridePredefKey(hive, key);
    }
    ~ScratchRegistry() { Restore(); }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

private:
    static inline const std::pair<HKEY, const char*> kHives[] = {
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
        {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"}};

    void Restore()
    {
        for (const auto& [hive, key] : overrides_) {
            RegOverridePredefKey(hive, nullptr);
            RegCloseKey(key);
        }
        overrides_.clear();
        RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str());
        // The parent too, once no other run uses it.
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\RegWizardRuns");
    }

    std::string scratch_;
    std::vector<std::pair<HKEY, HKEY>> overrides_; // (predefined key, its stand-in)
};

class Win32RunPlatform final : public RunPlatform {
public:
    Win32RunPlatform() { platform::InstallCodePage(&codePage_); }
    ~Win32RunPlatform() override { platform::InstallCodePage(nullptr); }
    Win32RunPlatform(const Win32RunPlatform&) = delete;
    Win32RunPlatform& operator=(const Win32RunPlatform&) = delete;

    platform::Registry& Registry() override { return registry_; }
    long DeleteValue(platform::Hive hive, std::string_view subKey, std::string_view name) override
    {
        const HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(hive)));
        return RegDeleteKeyValueA(root, platform::ToAnsi(subKey).c_str(),
                                  platform::ToAnsi(name).c_str());
    }
    platform::ProfileFiles& Profiles() override { return profiles_; }
    platform::Files& Files() override { return files_; }
    platform::RegionalSettings& Regional() override { return regional_; }

    // WinINet reports from its own threads, through the loop's posts: the loop
    // learns from the run whether a transfer is under way.
    platform::InetFactory Transfers(platform::fake::VirtualEventLoop& loop,
                                    std::function<bool()> underWay) override
    {
        loop.WatchTransfers(std::move(underWay));
        return platform::win32::MakeWinInetFactory(loop);
    }

    // A copy, made again before every expectation: symbolic links need a
    // privilege on Windows, and a hard link would keep a file that was
    // replaced since.
    void Link(const std::filesystem::path& target, const std::filesystem::path& file) override
    {
        links_.emplace_back(target, file);
        Copy(target, file);
    }
    void RefreshLinks() override
    {
        for (const auto& [target, file] : links_)
            Copy(target, file);
    }

private:
    static void Copy(const std::filesystem::path& target, const std::filesystem::path& file)
    {
        std::error_code ignored;
        if (!std::filesystem::copy_file(target, file,
                                        std::filesystem::copy_options::overwrite_existing, ignored))
            std::filesystem::remove(file, ignored); // as a link to nothing: no file
    }

    platform::win32::Win32CodePage codePage_;
    ScratchRegistry scratch_; // before the registry, whose keys it outlives
    platform::win32::Win32Registry registry_;
    platform::win32::Win32ProfileFiles profiles_;
    platform::win32::Win32Files files_;
    platform::win32::UserLocaleSettings regional_;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> links_;
};

} // namespace

std::unique_ptr<RunPlatform> MakeRunPlatform(const std::filesystem::path&)
{
    return std::make_unique<Win32RunPlatform>();
}

std::filesystem::path MakeTemporaryFolder()
{
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path folder =
            base / ("regwizard-run-" + RunName() + "-" + std::to_string(GetTickCount()));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error))
            return folder;
    }
    throw ScenarioError{0, "cannot make a temporary home folder"};
}

// The system's registry and profile functions write for themselves: there is
// nothing of ours to count.
void ReportFileReplacements() {}

} // namespace regwiz::runner
