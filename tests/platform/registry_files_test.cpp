#include "platform/posix/registry_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/codepage.h"
#include "platform/fake/fakes.h"
#include "support/temp_dir.h"

namespace regwiz::platform::posix {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using namespace std::string_literals;

constexpr Hive kHklm = Hive::LocalMachine;

struct Read {
    long rc = -1;
    std::uint32_t type = 0;
    std::string data;
    bool operator==(const Read&) const = default;
};

// Asks for the size first, as the store does.
Read Get(Registry& reg, KeyHandle key, std::string_view name)
{
    Read r;
    std::uint32_t size = 0;
    r.rc = reg.QueryValue(key, name, r.type, {}, size);
    if (r.rc != status::MoreData && r.rc != status::Success)
        return r;
    std::vector<std::uint8_t> buffer(size);
    r.rc = reg.QueryValue(key, name, r.type, buffer, size);
    r.data.assign(buffer.begin(), buffer.begin() + size);
    return r;
}

long Set(Registry& reg, KeyHandle key, std::string_view name, std::uint32_t type,
         std::string_view data)
{
    return reg.SetValue(key, name, type,
                        {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()});
}

KeyHandle Create(Registry& reg, std::string_view subKey)
{
    KeyHandle key = 0;
    EXPECT_EQ(reg.CreateKey(kHklm, subKey, key), status::Success);
    return key;
}

std::string Sz(std::string_view text)
{
    return std::string(text) + '\0';
}

std::string Random(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

class RegistryFilesTest : public ::testing::Test {
protected:
    TempDir dir;
    RegistryFiles reg{dir.path()};
    std::filesystem::path Hklm() const { return reg.HiveFile(kHklm); }
};

TEST(RegistryFilesPrivacy, AFolderAndHiveMadeHereAreTheOwnersAlone)
{
    const mode_t old = ::umask(022);
    TempDir dir;
    RegistryFiles reg{dir / "quorvale" / "registry"};
    KeyHandle key = Create(reg, "SOFTWARE\\quorvale\\1.0");
    ASSERT_EQ(Set(reg, key, "memberp", regtype::Sz, Sz("scrambled")), 0);
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(reg.Folder()).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(reg.HiveFile(kHklm)).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    ::umask(old);
}

// A value and nothing else goes; the rest of the file stays byte for byte.
TEST_F(RegistryFilesTest, DeletesOneValue)
{
    KeyHandle key = Create(reg, "SOFTWARE\\quorvale");
    ASSERT_EQ(Set(reg, key, "AppPath", regtype::Sz, Sz("/opt/q")), 0);
    ASSERT_EQ(Set(reg, key, "Log", regtype::Sz, Sz("True")), 0);
    const std::string before = ReadBytes(Hklm());
    ASSERT_EQ(Set(reg, key, "Gone", regtype::Binary, std::string(200, 'x')), 0);
    EXPECT_EQ(reg.DeleteValue(kHklm, "software\\QUORVALE", "gone"), status::Success);
    EXPECT_EQ(ReadBytes(Hklm()), before);
    EXPECT_EQ(reg.DeleteValue(kHklm, "SOFTWARE\\quorvale", "Gone"), status::FileNotFound);
    EXPECT_EQ(reg.DeleteValue(kHklm, "SOFTWARE\\nothing", "Log"), status::FileNotFound);
}

TEST_F(RegistryFilesTest, ValuesKeepTheirExactBytes)
{
    const std::vector<std::pair<std::uint32_t, std::string>> values = {
        {regtype::Sz, Sz("C:\\Program Files\\\"Q\" " + ToAnsi("é€"))},
        {regtype::Sz, Sz("two\r\nlines")},
        {regtype::Sz, std::string("a\0b\0", 4)},
        {regtype::Sz, "no terminator"},
        {regtype::Sz, ""},
        {regtype::Binary, Random(100 * 1024, 1)},
        {regtype::Dword, std::string("\x0a\0\0\x80", 4)},
        {regtype::Dword, "\x0a"},
        {7, std::string("a\0b\0\0", 5)},
        {regtype::None, ""},
        {0x12345, "x"},
    };
    KeyHandle key = Create(reg, "SOFTWARE\\quorvale");
    for (std::size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(Set(reg, key, "v" + std::to_string(i), values[i].first, values[i].second), 0);
    ASSERT_EQ(Set(reg, key, "", regtype::Sz, Sz("default")), 0);

    RegistryFiles fresh(dir.path());
    KeyHandle reopened = 0;
    ASSERT_EQ(fresh.OpenKey(kHklm, "SOFTWARE\\quorvale", KeyAccess::QueryValue, reopened), 0);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(Get(fresh, reopened, "v" + std::to_string(i)),
                  (Read{0, values[i].first, values[i].second}))
            << "value " << i;
    EXPECT_EQ(Get(fresh, reopened, "").data, Sz("default"));

    const std::string text = ReadBytes(Hklm());
    EXPECT_NE(text.find("\"v0\"=\"C:\\\\Program Files\\\\\\\"Q\\\" \xE9\x80\"\r\n"), text.npos);
    for (std::size_t end, at = 0; (end = text.find("\r\n", at)) != text.npos; at = end + 2)
        ASSERT_LE(end - at, 80u) << "line wrapped late at offset " << at;

    Set(reg, key, "v5", regtype::Binary, "short");
    EXPECT_LT(ReadBytes(Hklm()).size(), 1000u) << "rest of a long value left behind";
}

TEST_F(RegistryFilesTest, WritesTheLayoutRegeditWrites)
{
    KeyHandle key = Create(reg, "SOFTWARE\\quorvale\\1.0");
    Set(reg, key, "AppPath", regtype::Sz, Sz("C:\\x"));
    Set(reg, key, "", regtype::Sz, Sz("on"));
    Set(reg, key, "Count", regtype::Dword, std::string("\x0a\0\0\0", 4));
    std::string blob;
    for (char b = 0; b < 30; ++b)
        blob.push_back(b);
    Set(reg, key, "Blob", regtype::Binary, blob);

    EXPECT_EQ(ReadBytes(Hklm()),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quorvale]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quorvale\\1.0]\r\n"
              "\"AppPath\"=\"C:\\\\x\"\r\n"
              "@=\"on\"\r\n"
              "\"Count\"=dword:0000000a\r\n"
              "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,"
              "15,\\\r\n"
              "  16,17,18,19,1a,1b,1c,1d\r\n"
              "\r\n");
}

TEST_F(RegistryFilesTest, KeysAndNamesIgnoreCase)
{
    KeyHandle key = Create(reg, "Software\\Quorvale\\Été");
    Set(reg, key, "AppPath", regtype::Sz, Sz("old"));
    const std::string before = ReadBytes(Hklm());
    Create(reg, "\\SOFTWARE\\quorvale\\éTÉ\\");
    EXPECT_EQ(ReadBytes(Hklm()), before) << "an existing key was added again";

    KeyHandle other = 0;
    ASSERT_EQ(
        reg.OpenKey(kHklm, "software\\QUORVALE\\ÉTÉ", KeyAccess::SetValueAndCreateSubKey, other),
        0);
    Set(reg, other, "APPPATH", regtype::Sz, Sz("new"));
    EXPECT_EQ(Get(reg, key, "apppath").data, Sz("new"));
    const std::string text = ReadBytes(Hklm());
    EXPECT_NE(text.find("\"AppPath\"=\"new\""), text.npos) << text;
    EXPECT_EQ(text.find("old"), text.npos) << text;
}

TEST_F(RegistryFilesTest, StatusCodes)
{
    KeyHandle key = 0;
    EXPECT_EQ(reg.OpenKey(kHklm, "SOFTWARE", KeyAccess::QueryValue, key), status::FileNotFound);
    EXPECT_EQ(reg.OpenKey(kHklm, "", KeyAccess::QueryValue, key), status::Success);
    EXPECT_EQ(reg.OpenKey(Hive{7}, "", KeyAccess::QueryValue, key), status::InvalidHandle);

    KeyHandle writable = Create(reg, "SOFTWARE");
    Set(reg, writable, "v", regtype::Binary, "abc");
    Set(reg, writable, "empty", regtype::Binary, "");
    ASSERT_EQ(reg.OpenKey(kHklm, "SOFTWARE", KeyAccess::QueryValue, key), status::Success);
    EXPECT_EQ(Set(reg, key, "v", regtype::Binary, "x"), status::AccessDenied);
    {
        std::uint8_t buffer[2] = {7, 7};
        std::uint32_t type = 0, size = 2;
        EXPECT_EQ(reg.QueryValue(key, "v", type, buffer, size), status::MoreData);
        EXPECT_EQ(size, 3u);
        EXPECT_EQ(type, regtype::Binary);
        EXPECT_EQ(buffer[0], 7);
        EXPECT_EQ(reg.QueryValue(key, "empty", type, {}, size), status::Success);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(reg.QueryValue(key, "missing", type, buffer, size), status::FileNotFound);
    }
    {
        std::uint32_t type = 0, size = 0;
        EXPECT_EQ(reg.QueryValue(999, "v", type, {}, size), status::InvalidHandle);
        EXPECT_EQ(Set(reg, 999, "v", regtype::Binary, "x"), status::InvalidHandle);
        EXPECT_EQ(reg.CloseKey(key), status::Success);
        EXPECT_EQ(reg.CloseKey(key), status::InvalidHandle);
        EXPECT_EQ(Get(reg, key, "v").rc, status::InvalidHandle);
    }
    WriteBytes(Hklm(), "REGEDIT4\r\n\r\n");
    EXPECT_EQ(Get(reg, writable, "v").rc, status::FileNotFound) << "key deleted meanwhile";

    std::filesystem::remove(Hklm());
    std::filesystem::create_directory(Hklm());
    EXPECT_EQ(Get(reg, writable, "v").rc, status::RegistryIoFailed);
    EXPECT_EQ(Set(reg, writable, "v", regtype::Binary, "x"), status::RegistryIoFailed);
}

TEST_F(RegistryFilesTest, ReadOnlyFolderDeniesWrites)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere";
    KeyHandle key = Create(reg, "K");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(Set(reg, key, "v", regtype::Binary, "x"), status::AccessDenied);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
}

TEST_F(RegistryFilesTest, ParentsWithoutSectionsExist)
{
    const std::string original = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A\\B\\C]\r\n\r\n";
    WriteBytes(Hklm(), original);
    KeyHandle key = 0;
    EXPECT_EQ(reg.OpenKey(kHklm, "A\\B\\C\\D", KeyAccess::QueryValue, key), 2);
    EXPECT_EQ(reg.OpenKey(kHklm, "A\\BB", KeyAccess::QueryValue, key), 2);
    EXPECT_EQ(reg.OpenKey(kHklm, "A", KeyAccess::QueryValue, key), 0);
    Create(reg, "a");
    EXPECT_EQ(ReadBytes(Hklm()), original);

    ASSERT_EQ(reg.OpenKey(kHklm, "A\\B", KeyAccess::SetValueAndCreateSubKey, key), 0);
    Set(reg, key, "v", regtype::Sz, Sz("1"));
    EXPECT_EQ(ReadBytes(Hklm()), original + "[HKEY_LOCAL_MACHINE\\A\\B]\r\n\"v\"=\"1\"\r\n\r\n");
}

TEST_F(RegistryFilesTest, HandMadeFileKeepsWhatItDoesNotTouch)
{
    const std::string head = "REGEDIT4\r\n\r\n; comment\r\n[HKEY_LOCAL_MACHINE\\K]\r\n";
    const std::string junk = std::string("junk \0\x01\xff\r\n\"broken=\"x\r\n", 22)
                             + "\"bad\"=hex:zz,01\r\n\"wrapped\"=hex:01,02,\\\r\n  03\r\n";
    const std::string middle = "\"a\"=\"second\"\r\n\r\n[HKEY_LOCAL_MACHINE\\K\r\n"
                               "\"lost\"=\"x\"\r\n[hkey_local_machine\\k]\r\n\"b\"=\"dup\"\r\n";
    WriteBytes(Hklm(), head + "\"a\"=\"first\"\r\n" + junk + middle + "\"tail\"=hex:ff");
    KeyHandle key = Create(reg, "K");
    EXPECT_EQ(Get(reg, key, "a").data, Sz("first"));
    EXPECT_EQ(Get(reg, key, "wrapped").data, "\x01\x02\x03");
    EXPECT_EQ(Get(reg, key, "b").data, Sz("dup"));
    EXPECT_EQ(Get(reg, key, "tail").data, "\xff");
    EXPECT_EQ(Get(reg, key, "lost").rc, 2) << "belongs to a broken header";
    EXPECT_EQ(Get(reg, key, "bad").rc, 2);

    Set(reg, key, "a", regtype::Sz, Sz("new"));
    Set(reg, key, "c", regtype::Binary, "");
    Set(reg, key, "tail", regtype::Binary, std::string(1, '\0'));
    Set(reg, Create(reg, "K\\Sub"), "d", regtype::Sz, Sz("4"));
    const std::string inserted = "\"a\"=\"second\"\r\n\"c\"=hex:\r\n";
    EXPECT_EQ(ReadBytes(Hklm()), head + "\"a\"=\"new\"\r\n" + junk + inserted + middle.substr(14)
                                     + "\"tail\"=hex:00\r\n\r\n"
                                       "[HKEY_LOCAL_MACHINE\\K\\Sub]\r\n\"d\"=\"4\"\r\n\r\n");
}

TEST_F(RegistryFilesTest, OddFilesStayConsistent)
{
    {
        WriteBytes(Hklm(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n\"a\"=\"1\"\n");
        Set(reg, Create(reg, "K"), "b", regtype::Binary, Random(40, 2));
        EXPECT_EQ(ReadBytes(Hklm()).find('\r'), std::string::npos) << "mixed line ends";
        EXPECT_EQ(Get(reg, Create(reg, "K"), "b").data, Random(40, 2));
    }
    {
        WriteBytes(Hklm(), "junk");
        Create(reg, "K");
        EXPECT_EQ(ReadBytes(Hklm()), "REGEDIT4\r\n\r\njunk\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\r\n");
    }
    {
        WriteBytes(Hklm(), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"cut\"=hex:01,\\\r\n");
        KeyHandle key = Create(reg, "K");
        EXPECT_EQ(Get(reg, key, "cut").rc, status::FileNotFound);
        Set(reg, Create(reg, "L"), "v", regtype::Binary, "x");
        EXPECT_EQ(Get(reg, key, "cut").rc, status::FileNotFound)
            << "the blank line before the new section ended it";
    }
    {
        // An LF file whose last line ends in a lone CR: that line is no header, and
        // ending it for a new section must not make it one.
        WriteBytes(Hklm(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Torn]\r");
        Create(reg, "L");
        KeyHandle key = 0;
        EXPECT_EQ(reg.OpenKey(kHklm, "Torn", KeyAccess::QueryValue, key), status::FileNotFound);
    }
}

// Files pieced together from bits of the syntax: a write must read back and leave the values
// of K as they read before.
TEST_F(RegistryFilesTest, RandomFilesNeverBreakOtherValues)
{
    // clang-format off
    const std::vector<std::string> bits = {
        "[HKEY_LOCAL_MACHINE\\K]", "[HKEY_LOCAL_MACHINE\\K", "[HKEY_LOCAL_MACHINE\\K\\S]",
        "\"a\"=\"x\"", "\"b\"=hex:01,\\", "  02,03", "\"c\"=dword:", "0000000a", "@=\"d\"",
        "\"w\"=hex(7):00,\\", "\\", "\r\n", "\r\n", "\n", "\r", "\"", "=", "\0"s,
        "\xff", "zz", ",", "REGEDIT4"};
    // clang-format on
    const std::vector<std::string> names = {"a", "b", "c", ""};
    const std::vector<std::string> targets = {"K", "K", "K\\S", "L"};
    std::mt19937 random(3);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (std::size_t n = random() % 40; n > 0; --n)
            text += bits[random() % bits.size()];
        WriteBytes(Hklm(), text);
        KeyHandle key = Create(reg, "K");
        std::vector<Read> before;
        for (const std::string& name : names)
            before.push_back(Get(reg, key, name));
        const KeyHandle target = Create(reg, targets[random() % targets.size()]);
        const std::string data = Random(random() % 100, round);
        ASSERT_EQ(Set(reg, target, "w", 7, data), 0) << testing::PrintToString(text);
        ASSERT_EQ(Get(reg, target, "w"), (Read{0, 7, data})) << testing::PrintToString(text);
        for (std::size_t i = 0; i < names.size(); ++i)
            ASSERT_EQ(Get(reg, key, names[i]), before[i]) << testing::PrintToString(text);
    }
}

TEST_F(RegistryFilesTest, DeleteKeyRemovesTheKeysOwnSectionsAndNothingElse)
{
    const std::string head = "REGEDIT4\r\n\r\n; comment\r\n[HKEY_LOCAL_MACHINE\\K]\r\n"
                             "\"a\"=\"1\"\r\njunk\r\n\r\n";
    const std::string sub = "[HKEY_LOCAL_MACHINE\\K\\Sub]\r\n\"b\"=\"2\"\r\n\r\n";
    const std::string other = "[HKEY_LOCAL_MACHINE\\KK]\r\n\"c\"=\"3\"\r\n\r\n";
    const std::string duplicate = "[hkey_local_machine\\k]\r\n\"d\"=\"4\"\r\n\r\n";
    const std::string tail = "[HKEY_LOCAL_MACHINE\\L]\r\n\"e\"=hex:01,\\\r\n  02\r\n";
    WriteBytes(Hklm(), head + sub + other + duplicate + tail);
    KeyHandle kept = Create(reg, "KK");

    EXPECT_EQ(reg.DeleteKey(kHklm, "K"), status::AccessDenied) << "has a subkey";
    EXPECT_EQ(ReadBytes(Hklm()), head + sub + other + duplicate + tail);

    EXPECT_EQ(reg.DeleteKey(kHklm, "\\k\\SUB\\"), status::Success);
    EXPECT_EQ(ReadBytes(Hklm()), head + other + duplicate + tail);
    EXPECT_EQ(reg.DeleteKey(kHklm, "K"), status::Success);
    EXPECT_EQ(ReadBytes(Hklm()), "REGEDIT4\r\n\r\n; comment\r\n" + other + tail)
        << "both sections of K go, with what was written under them";
    EXPECT_EQ(Get(reg, kept, "c").data, Sz("3"));

    KeyHandle key = 0;
    EXPECT_EQ(reg.OpenKey(kHklm, "K", KeyAccess::QueryValue, key), status::FileNotFound);
    EXPECT_EQ(reg.DeleteKey(kHklm, "K"), status::FileNotFound);
    EXPECT_EQ(reg.DeleteKey(kHklm, "L\\Missing"), status::FileNotFound);
    EXPECT_EQ(reg.DeleteKey(kHklm, "\\"), status::InvalidParameter);
    EXPECT_EQ(reg.DeleteKey(Hive{7}, "K"), status::InvalidHandle);
    EXPECT_EQ(reg.DeleteKey(Hive::CurrentUser, "K"), status::FileNotFound) << "no file at all";
    EXPECT_FALSE(std::filesystem::exists(reg.HiveFile(Hive::CurrentUser)));
}

TEST_F(RegistryFilesTest, DeletingWhatWasCreatedGivesBackTheFile)
{
    const std::string original = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=\"1\"\r\n\r\n";
    WriteBytes(Hklm(), original);
    Set(reg, Create(reg, "A\\B\\C"), "w", regtype::Sz, Sz("2"));
    Set(reg, Create(reg, "A\\B"), "x", regtype::Sz, Sz("3"));
    for (const char* key : {"A\\B\\C", "A\\B"})
        ASSERT_EQ(reg.DeleteKey(kHklm, key), status::Success) << key;
    EXPECT_EQ(ReadBytes(Hklm()), original);
}

// The in-memory registry deletes as the files do, so that tests on it mean the same.
TEST(FakeRegistryDelete, FollowsTheFilesRules)
{
    fake::FakeRegistry fake;
    KeyHandle key = 0;
    fake.CreateKey(kHklm, "K\\Sub", key);
    fake.CreateKey(kHklm, "K", key);
    fake.CreateKey(kHklm, "K.other", key);
    Set(fake, key, "v", regtype::Sz, Sz("1"));
    EXPECT_EQ(fake.DeleteKey(kHklm, "K"), status::AccessDenied);
    EXPECT_EQ(fake.DeleteKey(kHklm, "k\\SUB"), status::Success);
    EXPECT_EQ(fake.DeleteKey(kHklm, "K"), status::Success);
    EXPECT_EQ(fake.DeleteKey(kHklm, "K"), status::FileNotFound);
    EXPECT_EQ(fake.DeleteKey(kHklm, ""), status::InvalidParameter);
    EXPECT_TRUE(fake.Get(kHklm, "K.other", "v")) << "a neighbour that sorts between them";
}

// ---- Several processes ----------------------------------------------------------------------

constexpr std::string_view kKey = "SOFTWARE\\quorvale";

bool WriteMany(const std::filesystem::path& folder, const std::string& prefix, int count)
{
    RegistryFiles reg(folder);
    KeyHandle key = 0;
    bool ok = reg.CreateKey(kHklm, kKey, key) == 0;
    for (int i = 0; i < count; ++i)
        ok = Set(reg, key, prefix + std::to_string(i), regtype::Sz, Sz(prefix)) == 0 && ok;
    return ok;
}

TEST(RegistryFilesProcesses, ConcurrentWritersLoseNothing)
{
    TempDir dir;
    constexpr int kCount = 200;
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(WriteMany(dir.path(), "child", kCount) ? 0 : 1);
    const bool parentOk = WriteMany(dir.path(), "parent", kCount);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(parentOk);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    RegistryFiles reg(dir.path());
    KeyHandle key = Create(reg, kKey);
    for (const std::string prefix : {"child", "parent"})
        for (int i = 0; i < kCount; ++i)
            ASSERT_EQ(Get(reg, key, prefix + std::to_string(i)).data, Sz(prefix)) << i;
    const std::string text = ReadBytes(reg.HiveFile(kHklm));
    EXPECT_EQ(text.find("quorvale]"), text.rfind("quorvale]")) << "key created twice";
}

TEST(RegistryFilesProcesses, KilledWriterLeavesAWholeValue)
{
    TempDir dir;
    constexpr std::size_t kSize = 30000;
    RegistryFiles reg(dir.path());
    KeyHandle key = Create(reg, kKey);
    Set(reg, key, "Other", regtype::Sz, Sz("kept"));
    Set(reg, key, "Big", regtype::Binary, std::string(kSize, 'a'));
    std::mt19937 random(5);
    for (int round = 0; round < 30; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10);
            RegistryFiles writer(dir.path());
            KeyHandle own = Create(writer, kKey);
            if (::write(ready[1], "r", 1) != 1)
                ::_exit(1);
            // Each value is one byte repeated, so a torn one shows as a mix or a wrong size.
            for (auto fill = static_cast<unsigned char>(round * 8);; ++fill)
                Set(writer, own, "Big", regtype::Binary, std::string(kSize, char(fill)));
        }
        ::close(ready[1]);
        char byte = 0;
        EXPECT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        ::usleep(random() % 25000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        const Read big = Get(reg, key, "Big");
        ASSERT_EQ(big.rc, 0);
        ASSERT_EQ(big.data, std::string(kSize, big.data[0])) << "round " << round;
        ASSERT_EQ(Get(reg, key, "Other").data, Sz("kept"));
    }
}

} // namespace
} // namespace regwiz::platform::posix
