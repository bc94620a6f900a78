// A scenario's platform on POSIX: the registry in REGEDIT4 files of the run's
// own folder, our profile files, POSIX files and libcurl.
#include "regwizard-run/run_platform.h"

#include <stdlib.h>

#include <cstdlib>
#include <fstream>

#include "platform/curl/curl_inet.h"
#include "platform/fake/virtual_event_loop.h"
#include "platform/posix/atomic_file.h"
#include "platform/posix/files.h"
#include "platform/posix/profile_files.h"
#include "platform/posix/regional_settings.h"
#include "platform/posix/registry_files.h"
#include "regwizard-run/scenario.h"

namespace regwiz::runner {
namespace {

class PosixRunPlatform final : public RunPlatform {
public:
    explicit PosixRunPlatform(const std::filesystem::path& home) : registry_(home / "registry")
    {
        std::filesystem::create_directories(registry_.Folder());
    }

    platform::Registry& Registry() override { return registry_; }
    long DeleteValue(platform::Hive hive, std::string_view subKey, std::string_view name) override
    {
        return registry_.DeleteValue(hive, subKey, name);
    }
    platform::ProfileFiles& Profiles() override { return profiles_; }
    platform::Files& Files() override { return files_; }
    platform::RegionalSettings& Regional() override { return regional_; }

    // libcurl's sockets are watched by the loop itself.
    platform::InetFactory Transfers(platform::fake::VirtualEventLoop& loop,
                                    std::function<bool()>) override
    {
        return platform::curl::MakeCurlInetFactory(loop);
    }

    // A symbolic link: it shows the target's latest content by itself.
    void Link(const std::filesystem::path& target, const std::filesystem::path& file) override
    {
        std::filesystem::create_symlink(target, file);
    }

private:
    platform::posix::RegistryFiles registry_;
    platform::posix::PrivateProfileFiles profiles_;
    platform::posix::PosixFiles files_;
    platform::posix::LocaleSettings regional_;
};

} // namespace

std::unique_ptr<RunPlatform> MakeRunPlatform(const std::filesystem::path& home)
{
    return std::make_unique<PosixRunPlatform>(home);
}

std::filesystem::path MakeTemporaryFolder()
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "regwizard-run-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw ScenarioError{0, "cannot make a temporary home folder"};
    return pattern;
}

void ReportFileReplacements()
{
    const char* file = std::getenv("REGWIZ_WRITE_COUNTS");
    if (file == nullptr || *file == '\0')
        return;
    const auto counted = platform::posix::CountedReplacements();
    std::ofstream(file) << counted.replacements << " " << counted.syncs << "\n";
}

} // namespace regwiz::runner
