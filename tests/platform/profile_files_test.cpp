#include "platform/posix/profile_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/posix/atomic_file.h"
#include "support/temp_dir.h"

namespace regwiz::platform::posix {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class PrivateProfileTest : public ::testing::Test {
protected:
    std::string Get(std::string_view section, std::string_view key, std::size_t size = 255)
    {
        return ini.GetString(file, section, key, "none", size);
    }
    void Put(std::string_view section, std::string_view key, std::string_view value)
    {
        ASSERT_TRUE(ini.WriteString(file, section, key, value));
    }

    TempDir dir;
    std::filesystem::path file = dir / "test.ini";
    PrivateProfileFiles ini;
};

TEST_F(PrivateProfileTest, ReadsNamesWithoutRegardToCaseOrBlanks)
{
    WriteBytes(file, "top=0\r\n [ Dial Up \r\n  Phone Number =  555 1234 \t\n[Caf\xE9]\r\n"
                     "\xE9t\xE9=1\r\n");
    EXPECT_EQ(Get("dial up", " PHONE number"), "555 1234");
    EXPECT_EQ(Get("CAFÉ", "ÉTÉ"), "1");
    EXPECT_EQ(Get("", "top"), "none"); // entries before any header have no section
}

TEST_F(PrivateProfileTest, FirstSectionAndFirstKeyWin)
{
    WriteBytes(file, "[a]\r\nk=1\r\nK=2\r\n[b]\r\nlate=x\r\n[A]\r\nk=3\r\nlate=y\r\n");
    EXPECT_EQ(Get("a", "k"), "1");
    EXPECT_EQ(Get("a", "late"), "none");
    Put("a", "late", "z");
    Put("A", "k", "4");
    EXPECT_EQ(ReadBytes(file),
              "[a]\r\nk=4\r\nK=2\r\nlate=z\r\n[b]\r\nlate=x\r\n[A]\r\nk=3\r\nlate=y\r\n");
}

TEST_F(PrivateProfileTest, AByteOrderMarkBelongsToNoSectionAndStays)
{
    WriteBytes(file, "\xEF\xBB\xBF[WhereFrom]\r\n100=Friend\r\n[b]\r\nk=1\r\n");
    EXPECT_EQ(Get("WhereFrom", "100"), "Friend");
    Put("WhereFrom", "100", "Radio");
    EXPECT_TRUE(ini.DeleteSection(file, "b"));
    EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF[WhereFrom]\r\n100=Radio\r\n");
    EXPECT_TRUE(ini.HasSection(file, "wherefrom"));
}

TEST_F(PrivateProfileTest, RefusesLineBreaksThatWouldForgeEntries)
{
    Put("Personal", "FirstName", "Lee");
    for (const char* value : {"Lee\r\n[Personal]\r\nFirstName=Eve", "Lee\nX=1", "Lee\r"})
        EXPECT_FALSE(ini.WriteString(file, "Personal", "LastName", value)) << value;
    EXPECT_FALSE(ini.WriteString(file, "Personal\r\n[Other]", "k", "v"));
    EXPECT_FALSE(ini.WriteString(file, "Personal", "k\n", "v"));
    EXPECT_EQ(ReadBytes(file), "[Personal]\r\nFirstName=Lee\r\n");
}

TEST_F(PrivateProfileTest, StripsOnePairOfMatchingQuotes)
{
    WriteBytes(file, "[s]\r\nd= \" x \" \r\ns='y'\r\nm=\"z'\r\none=\"\r\nn=''''\r\n");
    EXPECT_EQ(Get("s", "d"), " x ");
    EXPECT_EQ(Get("s", "s"), "y");
    EXPECT_EQ(Get("s", "m"), "\"z'");
    EXPECT_EQ(Get("s", "one"), "\"");
    EXPECT_EQ(Get("s", "n"), "''");
}

TEST_F(PrivateProfileTest, MissingFileSectionOrKeyGiveTheDefault)
{
    EXPECT_EQ(ini.GetString(file, "s", "k", "dflt  \t", 255), "dflt");
    EXPECT_EQ(ini.GetInt(file, "s", "k", 42), 42);
    WriteBytes(file, "[s]\r\nempty=\r\nword=abc\r\nnum=12abc\r\nneg=-7\r\n"
                     "big=4294967297\r\nlow=-4294967297\r\n");
    EXPECT_EQ(Get("s", "empty"), "");
    EXPECT_EQ(Get("t", "empty"), "none");
    EXPECT_EQ(ini.GetInt(file, "s", "missing", 42), 42);
    EXPECT_EQ(ini.GetInt(file, "s", "word", 42), 0);
    EXPECT_EQ(ini.GetInt(file, "s", "num", 42), 12);
    EXPECT_EQ(ini.GetInt(file, "s", "neg", 42), -7);
    EXPECT_EQ(ini.GetInt(file, "s", "big", 42), 1); // wraps around as Windows does
    EXPECT_EQ(ini.GetInt(file, "s", "low", 42), -1);
}

TEST_F(PrivateProfileTest, CutsToTheBufferInCharacters)
{
    Put("s", "x", std::string(300, 'x'));
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += "é";
    Put("s", "e", accents);
    EXPECT_EQ(Get("s", "x"), std::string(254, 'x'));
    EXPECT_EQ(Get("s", "e"), accents.substr(0, 2 * 254));
    EXPECT_EQ(Get("s", "x", 4), "xxx");
    EXPECT_EQ(Get("s", "x", 1), "");
    EXPECT_EQ(Get("s", "x", 0), "");
    EXPECT_EQ(Get("s", "missing", 3), "no");
}

TEST_F(PrivateProfileTest, StoresTextAsWindows1252)
{
    Put("Région", "Clé", "5 € café");
    EXPECT_EQ(ReadBytes(file), "[R\xE9gion]\r\nCl\xE9=5 \x80 caf\xE9\r\n");
    EXPECT_EQ(Get("RÉGION", "clÉ"), "5 € café");
}

TEST_F(PrivateProfileTest, WritesOnlyTheLineConcerned)
{
    {
        Put("s", "k", "v");
        EXPECT_EQ(ReadBytes(file), "[s]\r\nk=v\r\n");
    }
    {
        WriteBytes(file, "[s]\r\na=1\r\n; note\r\n\r\n \t\r\n[t]\r\nb=2\r\n");
        Put("S", "new", "n");
        EXPECT_EQ(ReadBytes(file), "[s]\r\na=1\r\n; note\r\nnew=n\r\n\r\n \t\r\n[t]\r\nb=2\r\n");
    }
    {
        const std::string junk("\0\xFF\x01 ]]\n", 7);
        WriteBytes(file, junk + "; c\n[s]\n  Key = old\n\n odd line\n[t]\r\nb=2");
        Put("s", "key", "new");
        Put("t", "c", "3");
        Put("u", "d", "4");
        EXPECT_EQ(ReadBytes(file), junk
                                       + "; c\n[s]\nKey=new\n\n odd line\n[t]\r\nb=2\r\nc=3\r\n"
                                         "[u]\r\nd=4\r\n");
    }
    {
        WriteBytes(file, "[s]");
        Put("s", "k", "v");
        EXPECT_EQ(ReadBytes(file), "[s]\r\nk=v\r\n");
        WriteBytes(file, "x=1");
        Put("t", "k", "v");
        EXPECT_EQ(ReadBytes(file), "x=1\r\n[t]\r\nk=v\r\n");
    }
}

// Settings that belong together cost one replacement of the file, and land
// exactly as the same keys written one by one would.
TEST_F(PrivateProfileTest, SeveralKeysOfASectionAreOneWrite)
{
    WriteBytes(file, "[s]\r\na=1\r\n[t]\r\nb=2\r\n");
    const std::vector<ProfileEntry> entries = {{"A", "one"}, {"c", "3"}, {"c", "three"}};
    const auto before = CountedReplacements();
    ASSERT_TRUE(ini.WriteStrings(file, "S", entries, Durability::SurvivesCrash));
    EXPECT_EQ(CountedReplacements().replacements - before.replacements, 1u);
    EXPECT_EQ(CountedReplacements().syncs - before.syncs, 2u) << "the file, then its folder";
    EXPECT_EQ(ReadBytes(file), "[s]\r\na=one\r\nc=three\r\n[t]\r\nb=2\r\n");

    // Scratch settings are replaced the same way, without waiting for the disk.
    const auto scratch = CountedReplacements();
    ASSERT_TRUE(ini.WriteStrings(file, "t", entries, Durability::Scratch));
    EXPECT_EQ(CountedReplacements().replacements - scratch.replacements, 1u);
    EXPECT_EQ(CountedReplacements().syncs, scratch.syncs);
    EXPECT_EQ(ReadBytes(file), "[s]\r\na=one\r\nc=three\r\n[t]\r\nb=2\r\nA=one\r\nc=three\r\n");

    // One forged line break refuses the whole group: nothing is half written.
    const std::vector<ProfileEntry> forged = {{"d", "4"}, {"e", "5\r\n[x]"}};
    EXPECT_FALSE(ini.WriteStrings(file, "s", forged, Durability::Scratch));
    EXPECT_EQ(Get("s", "d"), "none");
}

TEST_F(PrivateProfileTest, ReportsAFailedWrite)
{
    EXPECT_FALSE(ini.WriteString(dir / "no" / "such.ini", "s", "k", "v"));
    std::filesystem::create_directory(file);
    EXPECT_FALSE(ini.WriteString(file, "s", "k", "v"));
}

TEST_F(PrivateProfileTest, DeletesOneSectionKeepingEveryOtherByte)
{
    const std::string head = "; phone book\r\n[a]\r\nx=1\r\n\r\n";
    const std::string tail = "[c]\nz=3";
    WriteBytes(file, head + " [ B ]\r\ny=2\r\n; note\r\n\r\n" + tail + "\r\n[b]\r\nw=4\r\n");
    EXPECT_TRUE(ini.HasSection(file, "b"));
    ASSERT_TRUE(ini.DeleteSection(file, "b"));
    // Only the first section of a name counts, so a duplicate further down
    // comes into view.
    EXPECT_EQ(ReadBytes(file), head + tail + "\r\n[b]\r\nw=4\r\n");
    ASSERT_TRUE(ini.DeleteSection(file, "B"));
    EXPECT_EQ(ReadBytes(file), head + tail + "\r\n");
    EXPECT_FALSE(ini.HasSection(file, "b"));
    EXPECT_TRUE(ini.HasSection(file, "C"));
}

TEST_F(PrivateProfileTest, DeletingWhatIsNotThereSucceedsUnlessTheFileIsUnwritable)
{
    EXPECT_TRUE(ini.DeleteSection(file, "s"));
    EXPECT_FALSE(std::filesystem::exists(file));
    WriteBytes(file, "[t]\r\n[Caf\xE9]");
    EXPECT_TRUE(ini.HasSection(file, "CAFÉ")); // a header without keys is a section too
    EXPECT_TRUE(ini.DeleteSection(file, "s"));
    EXPECT_EQ(ReadBytes(file), "[t]\r\n[Caf\xE9]");
    EXPECT_FALSE(ini.DeleteSection(dir / "no" / "such.ini", "s"));
    const std::filesystem::path folder = dir / "folder.ini";
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(ini.DeleteSection(folder, "s"));
}

// Runs `work` in a child process that exits with 0 when it returns true.
pid_t Spawn(const std::function<bool()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(work() ? 0 : 1);
    return pid;
}

bool ExitedCleanly(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(PrivateProfileTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int kKeys = 200;
    auto writer = [this](std::string prefix) {
        return [this, prefix] {
            bool ok = true;
            for (int i = 0; i < kKeys; ++i)
                ok = ini.WriteString(file, "s", prefix + std::to_string(i), "v") && ok;
            return ok;
        };
    };
    const pid_t first = Spawn(writer("a"));
    const pid_t second = Spawn(writer("b"));
    EXPECT_TRUE(ExitedCleanly(first));
    EXPECT_TRUE(ExitedCleanly(second));
    int lost = 0;
    for (int i = 0; i < kKeys; ++i) {
        for (const char* prefix : {"a", "b"})
            lost += Get("s", prefix + std::to_string(i)) != "v";
    }
    EXPECT_EQ(lost, 0);
}

TEST_F(PrivateProfileTest, KilledWriterLeavesAWholeFile)
{
    std::string before;
    for (int i = 0; i < 10000; ++i)
        before += "line" + std::to_string(i) + "=some padding to make the file large\r\n";
    const std::string withA = "[s]\r\nk=A\r\n" + before;
    const std::string withB = "[s]\r\nk=B\r\n" + before;
    WriteBytes(file, withA);
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayUs(0, 10000);
    for (int round = 0; round < 30; ++round) {
        const pid_t pid = Spawn([this]() -> bool {
            for (bool a = false;; a = !a)
                ini.WriteString(file, "s", "k", a ? "A" : "B");
        });
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const std::string after = ReadBytes(file);
        ASSERT_TRUE(after == withA || after == withB) << "round " << round;
    }
}

} // namespace
} // namespace regwiz::platform::posix
