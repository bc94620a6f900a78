#pragma once

#include <filesystem>

#include "dialup/sim/simulated_modem.h"
#include "store/globals.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace regwiz::test {

// A machine the wizard can start on: the fakes, a simulated modem with one
// device, the registration server's number and an application folder with an
// agreement and a configuration file.
struct WizardHome {
    WizardHome()
    {
        fake.folders.componentFolder = app;
        fake.ports.rasFactory = modem.Factory();
        modem.AddDevice("modem", "Standard 56000 bps Modem");
        std::filesystem::create_directories(app / "conf");
        WriteBytes(app / "agree.txt", "You agree to the terms of service.\r\n");
        WriteBytes(app / "conf" / "register.cfg", "[WhereFrom]\r\n100=Friend\r\n");
        SetSetting("RegSvrNum", "18005550142");
    }

    void SetSetting(std::string_view name, std::string_view text)
    {
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        platform::KeyHandle key = 0;
        fake.registry.CreateKey(platform::Hive::LocalMachine, kSystemKey, key);
        fake.registry.SetValue(key, name, platform::regtype::Sz, data);
        fake.registry.CloseKey(key);
    }

    TempDir home;
    std::filesystem::path app = home / "app";
    FakePlatform fake;
    dialup::sim::ModemLine modem{fake.loop, fake.profiles, home / "phonebook.ini"};
};

} // namespace regwiz::test
