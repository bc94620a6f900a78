#pragma once

#include <filesystem>

#include "platform/fake/fakes.h"
#include "platform/fake/virtual_event_loop.h"
#include "platform/ports.h"

namespace regwiz::test {

// Every port backed by a recording fake; the registry and profile files in
// memory unless a test passes its own.
struct FakePlatform {
    explicit FakePlatform(std::filesystem::path programFiles = "/nonexistent")
        : folders(std::move(programFiles))
    {
    }

    platform::fake::FakeRegistry registry;
    platform::fake::FakeProfileFiles profiles;
    platform::fake::FakeMousePointer pointer;
    platform::fake::FakeMessageBoxes boxes{&pointer};
    platform::fake::FakeClock clock;
    platform::fake::FakeFolders folders;
    platform::fake::VirtualEventLoop loop;
    platform::fake::FakeHelp help;
    platform::Ports ports{registry, profiles, boxes, pointer, clock, folders, loop, help, {}};
};

} // namespace regwiz::test
