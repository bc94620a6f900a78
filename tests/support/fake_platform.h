#pragma once

#include <filesystem>

#include "platform/fake/fakes.h"
#include "platform/fake/virtual_event_loop.h"
#include "platform/ports.h"
#include "platform/posix/files.h"
#include "platform/posix/profile_files.h"
#include "platform/posix/regional_settings.h"

namespace regwiz::test {

// Every port backed by a recording fake, but for files and .ini files, which
// are real files (in a test's temporary folder) as the settings store needs
// them, and the regional settings, which are the environment's.
struct FakePlatform {
    explicit FakePlatform(std::filesystem::path programFiles = "/nonexistent")
        : folders(std::move(programFiles))
    {
    }

    platform::fake::FakeRegistry registry;
    platform::posix::PrivateProfileFiles profiles;
    platform::posix::PosixFiles files;
    platform::fake::FakeMousePointer pointer;
    platform::fake::FakeMessageBoxes boxes{&pointer};
    platform::fake::FakeClock clock;
    platform::posix::LocaleSettings regional;
    platform::fake::FakeFolders folders;
    platform::fake::VirtualEventLoop loop;
    platform::fake::FakeHelp help;
    platform::fake::FakeVolume volume;
    platform::fake::FakeScreen screen;
    platform::fake::FakeTelephony telephony;
    platform::Ports ports{registry, profiles, files,  boxes,  pointer,   clock, regional, folders,
                          loop,     help,     volume, screen, telephony, {},    {}};
};

} // namespace regwiz::test
