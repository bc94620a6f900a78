#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/files.h"
#include "platform/inet.h"
#include "platform/profile_files.h"
#include "platform/regional_settings.h"
#include "platform/registry.h"

namespace regwiz::platform::fake {
class VirtualEventLoop;
}

// What a scenario runs on that differs per operating system: the real
// registry (or its files), profile files, files, regional formats and network
// transfers. The rest of a run (the fakes, the virtual clock, the fault
// injection, the expectations) is the same everywhere.
namespace regwiz::runner {

class RunPlatform {
public:
    virtual ~RunPlatform() = default;

    // A registry of the run's own, empty at first, gone after the run.
    virtual platform::Registry& Registry() = 0;
    // RegDeleteValueA on that registry: FileNotFound when there is no such value.
    virtual long DeleteValue(platform::Hive hive, std::string_view subKey,
                             std::string_view name) = 0;
    virtual platform::ProfileFiles& Profiles() = 0;
    virtual platform::Files& Files() = 0;
    virtual platform::RegionalSettings& Regional() = 0;

    // The transfer controls, driven from `loop`. `underWay` tells whether one
    // of the run's transfers is under way, for a loop that cannot watch the
    // transfers' sockets itself.
    virtual platform::InetFactory Transfers(platform::fake::VirtualEventLoop& loop,
                                            std::function<bool()> underWay) = 0;

    // The set-up command `link`: `file` shows what `target` holds whenever an
    // expectation looks at it.
    virtual void Link(const std::filesystem::path& target, const std::filesystem::path& file) = 0;
    // Before an expectation: links that are copies brought up to date.
    virtual void RefreshLinks() {}
};

// The run's platform; `home` is the run's folder, where a registry kept in
// files lives ("registry").
std::unique_ptr<RunPlatform> MakeRunPlatform(const std::filesystem::path& home);

// When the environment's REGWIZ_WRITE_COUNTS names a file, writes there how
// many files the runs replaced and how often they waited for the disk
// ("REPLACEMENTS SYNCS"), as the file adapter counted them; for the benchmark.
void ReportFileReplacements();

// A new, empty folder for one run, below the system's temporary folder.
std::filesystem::path MakeTemporaryFolder();

} // namespace regwiz::runner
