#include "store/mod_registry.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/posix/profile_files.h"
#include "platform/posix/registry_files.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace regwiz {
namespace {

using platform::Hive;
using platform::fake::FakeRegistry;

constexpr long kHklm = 0x80000002;

Globals AppFolder(const test::TempDir& home)
{
    Globals globals;
    globals.gAppPath = home.path().string();
    return globals;
}

// The store over the real registry files and .ini files of a temporary folder.
class SettingsStore : public ::testing::Test {
protected:
    test::TempDir home;
    platform::posix::RegistryFiles registry{home / "registry"};
    platform::posix::PrivateProfileFiles profiles;
    test::FakePlatform fake;
    platform::fake::FakeMessageBoxes& boxes = fake.boxes;
    platform::Ports ports{registry,    profiles,      fake.files,     fake.boxes, fake.pointer,
                          fake.clock,  fake.regional, fake.folders,   fake.loop,  fake.help,
                          fake.volume, fake.screen,   fake.telephony, {},         {}};
    Globals globals{AppFolder(home)};
    modRegistry store{ports, globals};

    std::string Read(std::string_view name, std::string_view type, long expectStatus = 0)
    {
        Variant value;
        EXPECT_EQ(store.fReadValue("HKLM", kSystemKey, name, type, "No Value", value),
                  expectStatus);
        return CStr(value);
    }

    std::vector<std::uint8_t> StoredBytes(std::string_view name)
    {
        platform::KeyHandle key = 0;
        EXPECT_EQ(
            registry.OpenKey(Hive::LocalMachine, kSystemKey, platform::KeyAccess::QueryValue, key),
            0);
        std::vector<std::uint8_t> data(1024);
        std::uint32_t type = 0;
        std::uint32_t size = static_cast<std::uint32_t>(data.size());
        EXPECT_EQ(registry.QueryValue(key, name, type, data, size), 0);
        registry.CloseKey(key);
        data.resize(size);
        return data;
    }

    std::string Ini(std::string_view content)
    {
        std::filesystem::path file = home / "settings.ini";
        test::WriteBytes(file, content);
        return file.string();
    }

    void ExpectWriteFailedBox()
    {
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].text, "Unable to write registry or .ini file value.");
        EXPECT_EQ(boxes.Shown()[0].title, "fWriteValue");
        EXPECT_EQ(boxes.Shown()[0].style, 48);
    }
};

TEST_F(SettingsStore, LocationsDecodeToHivesFilesOrNothing)
{
    EXPECT_EQ(store.fTopKey("HKLM"), kHklm);
    EXPECT_EQ(store.fTopKey("hklm"), kHklm);
    EXPECT_EQ(store.fTopKey("HkLm"), kHklm);
    EXPECT_EQ(store.fTopKey("HKCU"), 0x80000001);
    EXPECT_EQ(store.fTopKey("hku"), 0x80000003);
    EXPECT_EQ(store.fTopKey("HKCC"), 0x80000005);
    EXPECT_EQ(store.fTopKey("HKDD"), 0x80000006);
    EXPECT_EQ(store.fTopKey("HKCR"), 0x80000000);
    EXPECT_EQ(store.fTopKey("HKEY_LOCAL_MACHINE"), 0);

    EXPECT_EQ(store.fTopKey(Ini("")), 1);
    EXPECT_EQ(store.fTopKey((home / "missing.ini").string()), 0);
    EXPECT_EQ(store.fTopKey(home.path().string()), 0) << "a folder is not an .ini file";
    test::WriteBytes(home / ".hidden.ini", "");
    EXPECT_EQ(store.fTopKey((home / ".hidden.ini").string()), 0);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(SettingsStore, MissingValueReturnsNotFoundAndKeepsTheDefault)
{
    EXPECT_EQ(Read("AppPath", "S", 2), "No Value");
    ASSERT_EQ(store.WriteSetting("Other", "x", "S"), 0);
    EXPECT_EQ(Read("AppPath", "S", 2), "No Value") << "key present, value absent";
    Variant value;
    EXPECT_EQ(store.fReadValue("HKXX", kSystemKey, "AppPath", "S", "No Value", value), 99);
    EXPECT_EQ(CStr(value), "No Value");
}

TEST_F(SettingsStore, TypeLettersStoreTheirByteLayouts)
{
    ASSERT_EQ(store.WriteSetting("Text", "abc", "S"), 0);
    EXPECT_EQ(StoredBytes("Text"), (std::vector<std::uint8_t>{'a', 'b', 'c', 0}));
    EXPECT_EQ(Read("Text", "S"), "abc");
    EXPECT_EQ(Read("Text", "b"), std::string("abc\0", 4)) << "B reads every byte";

    ASSERT_EQ(store.WriteSetting("Default", "1", "b"), 0);
    EXPECT_EQ(StoredBytes("Default"), (std::vector<std::uint8_t>{'1'}));
    EXPECT_EQ(Read("Default", "B"), "1");

    ASSERT_EQ(store.fWriteValue("hkLM", kSystemKey, "Flag", "X", true), 0);
    EXPECT_EQ(StoredBytes("Flag"), (std::vector<std::uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(Read("Flag", "X"), "True");
    ASSERT_EQ(store.fWriteValue("HKLM", kSystemKey, "Flag", "x", "False"), 0);
    EXPECT_EQ(StoredBytes("Flag"), (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(Read("Flag", "X"), "False");

    EXPECT_EQ(Read("Text", "X", 234), "No Value") << "more than two bytes is no Boolean";
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(SettingsStore, TextsAreStoredInWindows1252)
{
    ASSERT_EQ(store.WriteSetting("Name", "Café €5", "S"), 0);
    EXPECT_EQ(StoredBytes("Name"),
              (std::vector<std::uint8_t>{'C', 'a', 'f', 0xE9, ' ', 0x80, '5', 0}));
    EXPECT_EQ(Read("Name", "S"), "Café €5");
    const std::string longText(5000, 'x');
    ASSERT_EQ(store.WriteSetting("Long", longText, "S"), 0);
    EXPECT_EQ(Read("Long", "S"), longText);
}

TEST_F(SettingsStore, NonBooleanWithBooleanTypeFailsAndWritesNothing)
{
    EXPECT_EQ(store.WriteSetting("Flag", "maybe", "X"), 99);
    ExpectWriteFailedBox();
    EXPECT_EQ(Read("Flag", "X", 2), "No Value");
}

TEST_F(SettingsStore, IniFilesReadTextWithDefaultsAndCutLongValues)
{
    const std::string ini =
        Ini("[Personal]\r\nFirstName = Ann \r\nLong=" + std::string(300, 'z') + "\r\n");
    Variant value;
    EXPECT_EQ(store.fReadValue(ini, "personal", "FIRSTNAME", "S", "", value), 0);
    EXPECT_EQ(CStr(value), "Ann");
    EXPECT_EQ(store.fReadValue(ini, "Personal", "LastName", "S", "dflt", value), 0);
    EXPECT_EQ(CStr(value), "dflt") << "a missing key is no failure";
    EXPECT_EQ(store.fReadValue(ini, "Personal", "Long", "S", "", value), 0);
    EXPECT_EQ(CStr(value), std::string(254, 'z'));
    EXPECT_EQ(store.fReadValue(ini, "Personal", "FirstName", "X", "kept", value), 0);
    EXPECT_EQ(CStr(value), "kept") << "only text is handed back from an .ini file";

    const std::string missing = (home / "missing.ini").string();
    EXPECT_EQ(store.fReadValue(missing, "Personal", "FirstName", "S", "dflt", value), 99);
    EXPECT_EQ(CStr(value), "dflt");
}

TEST_F(SettingsStore, IniWritesNeedAnExistingFileAndText)
{
    const std::filesystem::path missing = home / "conf" / "reginf.dat";
    EXPECT_EQ(store.fWriteValue(missing.string(), "Personal", "City", "S", "Oslo"), 99);
    ExpectWriteFailedBox();
    EXPECT_FALSE(std::filesystem::exists(missing));

    const std::string ini = Ini("; answers\r\n");
    EXPECT_EQ(store.fWriteValue(ini, "Personal", "City", "B", "Oslo"), 99);
    EXPECT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(store.fWriteValue(ini, "Personal", "City", "s", "Oslo"), 0);
    EXPECT_EQ(test::ReadBytes(ini), "; answers\r\n[Personal]\r\nCity=Oslo\r\n");
}

TEST_F(SettingsStore, ReadConfigStringLooksBelowTheApplicationFolder)
{
    EXPECT_EQ(store.ReadConfigString("conf\\register.cfg", "pymnt", "VISA"), "") << "no file";
    std::filesystem::create_directories(home / "conf");
    test::WriteBytes(home / "conf" / "register.cfg", "[pymnt]\r\nVISA=V\r\n");
    EXPECT_EQ(store.ReadConfigString("conf\\register.cfg", "PYMNT", "visa"), "V");
    EXPECT_EQ(store.ReadConfigString("conf\\register.cfg", "pymnt", "Discover"), "");
}

// Failures the files cannot be made to produce on demand.
class SettingsStoreFaults : public ::testing::Test {
protected:
    test::FakePlatform fake;
    FakeRegistry& registry = fake.registry;
    platform::fake::FakeMessageBoxes& boxes = fake.boxes;
    platform::Ports& ports = fake.ports;
    Globals globals;
    modRegistry store{ports, globals};
};

TEST_F(SettingsStoreFaults, RefusedValueIsAFailureWithItsCodeAndMessage)
{
    registry.failSetValue = platform::status::AccessDenied;
    EXPECT_EQ(store.WriteSetting("memberi", "1234567", "S"), 5);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].title, "fWriteValue");
    EXPECT_FALSE(registry.Get(Hive::LocalMachine, kSystemKey, "memberi"));
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(SettingsStoreFaults, KeyThatCannotBeCreatedReturnsItsCode)
{
    registry.failCreateKey = platform::status::AccessDenied;
    EXPECT_EQ(store.WriteSetting("memberi", "1234567", "S"), 5);
    EXPECT_EQ(boxes.Shown().size(), 1u);
}

TEST_F(SettingsStoreFaults, EveryKeyOpenedIsClosed)
{
    Variant value;
    store.fReadValue("HKLM", kSystemKey, "Log", "S", "No Value", value);
    store.WriteSetting("Log", "True", "S");
    store.fReadValue("HKLM", kSystemKey, "Log", "S", "No Value", value);
    store.fReadValue("HKLM", kSystemKey, "Missing", "S", "No Value", value);
    store.fReadValue("HKLM", kSystemKey, "Log", "X", false, value);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST(Variant, BooleansFromText)
{
    EXPECT_TRUE(CBool(Variant("True")));
    EXPECT_TRUE(CBool(Variant(" true ")));
    EXPECT_FALSE(CBool(Variant("FALSE")));
    EXPECT_TRUE(CBool(Variant("-1")));
    EXPECT_TRUE(CBool(Variant("0.5")));
    EXPECT_FALSE(CBool(Variant("0")));
    EXPECT_THROW(CBool(Variant("No Value")), RunTimeError);
    EXPECT_THROW(CBool(Variant("")), RunTimeError);
    EXPECT_EQ(CStr(Variant(true)), "True");
    EXPECT_EQ(CStr(Variant(-10100)), "-10100");
}

} // namespace
} // namespace regwiz
