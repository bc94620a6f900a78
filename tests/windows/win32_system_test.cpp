#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "platform/help.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_system.h"

namespace regwiz::platform::win32 {
namespace {

const Win32CodePage kSystem;

// The system's tables must convert exactly as the built-in one: both are the
// process's code page on one platform or the other.
TEST(Win32CodePageTest, AgreesWithTheBuiltInTable)
{
    InstallCodePage(nullptr);
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    EXPECT_EQ(kSystem.FromAnsi(everyByte), FromAnsi(everyByte));
    EXPECT_EQ(kSystem.ToAnsi(kSystem.FromAnsi(everyByte)), everyByte);

    // Every character of the Basic Multilingual Plane, surrogates (malformed
    // in UTF-8) included.
    std::string bmp;
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (cp < 0x800) {
            bmp += static_cast<char>(0xC0 | (cp >> 6));
        } else {
            bmp += static_cast<char>(0xE0 | (cp >> 12));
            bmp += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        bmp += static_cast<char>(0x80 | (cp & 0x3F));
    }
    EXPECT_EQ(kSystem.ToAnsi(bmp), ToAnsi(bmp));
}

TEST(Win32CodePageTest, UnknownAndMalformedCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(kSystem.ToAnsi("a→b ≤ ∞"), "a?b ? ?") << "no best-fit look-alikes";
    EXPECT_EQ(kSystem.ToAnsi("日本 😀"), "?? ?");
    EXPECT_EQ(kSystem.ToAnsi("x\xFFy|end\xE2\x82"), "x?y|end?");
    EXPECT_EQ(kSystem.ToAnsi("\xC0\x80|\xED\xA0\x80"), "?|?");
    EXPECT_EQ(kSystem.ToAnsi("\xC2\x80\xC2\x8D"), "?\x8D") << "C1 controls but the unassigned";
    EXPECT_EQ(kSystem.ToAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(kSystem.FromAnsi(""), "");
}

TEST(Win32RegionalSettingsTest, FormatsTheUsersLongTimeAndDate)
{
    const UserLocaleSettings regional;
    const LocalTime t{2026, 12, 5, 22, 15, 2, 6};
    const std::string time = regional.LongTime(t);
    EXPECT_NE(time.find("15"), std::string::npos) << time;
    EXPECT_NE(time.find("02"), std::string::npos) << time;
    const std::string date = regional.LongDate(t);
    EXPECT_NE(date.find("2026"), std::string::npos) << date;
    EXPECT_NE(date.find('5'), std::string::npos) << date;
    EXPECT_GT(date.size(), std::string("5.12.2026").size()) << "the long form: " << date;
    EXPECT_FALSE(regional.DecimalSeparator().empty());
    EXPECT_NE(regional.DecimalSeparator(), regional.ThousandsSeparator());
}

TEST(Win32SystemTest, KnowsItsVolumeFoldersAndScreen)
{
    EXPECT_TRUE(SystemDriveVolume().SystemVolumeSerial().has_value());
    const Win32Folders folders;
    EXPECT_TRUE(std::filesystem::is_directory(folders.ProgramFiles()));
    // Linked into this test program, the component's module is the program.
    EXPECT_TRUE(std::filesystem::exists(folders.ComponentFolder() / "win32_platform_test.exe"));
    const LocalTime now = LocalClock().Now();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.weekday >= 0 && now.weekday <= 6);
}

TEST(Win32FilesTest, AppendsReadsAndReportsMissingFolders)
{
    const auto folder = std::filesystem::temp_directory_path() / "regwiz-files-test";
    std::filesystem::remove_all(folder);
    Win32Files files;
    ASSERT_TRUE(files.CreateFolders(folder / "sub"));
    EXPECT_EQ(files.Append(folder / "log.txt", "one\r\n"), FileFailure::None);
    EXPECT_EQ(files.Append(folder / "log.txt", std::string("t\0o\r\n", 5)), FileFailure::None);
    EXPECT_EQ(files.Read(folder / "log.txt"), "one\r\n" + std::string("t\0o\r\n", 5));
    EXPECT_EQ(files.Read(folder / "missing.txt"), std::nullopt);
    EXPECT_EQ(files.Read(folder / "sub"), std::nullopt) << "a folder is no file";
    std::string list;
    for (int row = 0; list.size() < 300000; ++row)
        list += "S" + std::to_string(row) + ",City,212,5550100,\r\n";
    ASSERT_EQ(files.Append(folder / "list.csv", list), FileFailure::None);
    EXPECT_EQ(files.Read(folder / "list.csv"), list) << "a file larger than one read's piece";
    EXPECT_TRUE(files.Remove(folder / "list.csv"));
    EXPECT_EQ(files.Append(folder / "none" / "log.txt", "x"), FileFailure::PathNotFound);
    EXPECT_EQ(files.FileNames(folder), std::vector<std::string>{"log.txt"});
    EXPECT_TRUE(files.Remove(folder / "log.txt"));
    EXPECT_FALSE(files.IsFile(folder / "log.txt"));
    std::filesystem::remove_all(folder);
}

TEST(HelpTopicTest, IsTheFirstTopicStartingWithTheKey)
{
    const std::string document = "<a name=\"index\">Index</a><h2><a name=\"Modem\">Modem</a></h2>"
                                 "<h2><a name=\"Modem settings\">x</a></h2>";
    EXPECT_EQ(HelpTopicFor(document, "mod"), "Modem");
    EXPECT_EQ(HelpTopicFor(document, "Modem s"), "Modem settings");
    EXPECT_EQ(HelpTopicFor(document, "Dialing"), "index");
    EXPECT_EQ(HelpTopicFor(document, ""), "index");
}

} // namespace
} // namespace regwiz::platform::win32
