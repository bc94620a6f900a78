#include "platform/win32/win32_profile_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace regwiz::platform::win32 {
namespace {

class Win32ProfileFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path()
                  / ("regwiz-ini-" + std::to_string(GetCurrentProcessId()) + "-"
                     + std::to_string(GetTickCount()));
        std::filesystem::create_directories(folder_);
        file_ = folder_ / "register.cfg";
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Write(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
    std::string Bytes() const
    {
        std::ostringstream out;
        out << std::ifstream(file_, std::ios::binary).rdbuf();
        return out.str();
    }

    Win32ProfileFiles profiles_;
    std::filesystem::path folder_;
    std::filesystem::path file_;
};

TEST_F(Win32ProfileFilesTest, ReadsAsThePrivateProfileFunctionsDo)
{
    Write("; comment\r\n"
          "[ Modem ]\r\n"
          "  Port =  COM2  \r\n"
          "port=COM3\r\n"
          "Quoted=\" padded \"\r\n"
          "Speed=57600 baud\r\n"
          "Name=Zo\xEB \x80\r\n"
          "[Long]\r\n"
          "Value="
          + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(profiles_.GetString(file_, "MODEM", "PORT", "none", 255), "COM2")
        << "names without case or blanks; the first occurrence wins";
    EXPECT_EQ(profiles_.GetString(file_, "modem", "Quoted", "", 255), " padded ");
    EXPECT_EQ(profiles_.GetString(file_, "modem", "Name", "", 255), "Zoë €")
        << "Windows-1252 in the file";
    EXPECT_EQ(profiles_.GetString(file_, "modem", "Missing", "Default", 255), "Default");
    EXPECT_EQ(profiles_.GetString(file_, "Nothing", "Port", "", 255), "");
    EXPECT_EQ(profiles_.GetString(folder_ / "none.ini", "Modem", "Port", "gone", 255), "gone");
    EXPECT_EQ(profiles_.GetString(file_, "Long", "Value", "", 255), std::string(254, 'x'))
        << "cut as a 255-character buffer holds it";
    EXPECT_EQ(profiles_.GetInt(file_, "Modem", "Speed", 0), 57600);
    EXPECT_EQ(profiles_.GetInt(file_, "Modem", "Missing", -1), -1);
}

TEST_F(Win32ProfileFilesTest, WritesInWindows1252AndRefusesLineBreaks)
{
    ASSERT_TRUE(profiles_.WriteString(file_, "Member", "City", "Zürich €"));
    ASSERT_TRUE(profiles_.WriteString(file_, "member", "Street", "Main"));
    ASSERT_TRUE(profiles_.WriteString(file_, "Member", "city", "Bern"));
    EXPECT_EQ(profiles_.GetString(file_, "Member", "City", "", 255), "Bern");
    EXPECT_EQ(profiles_.GetString(file_, "Member", "Street", "", 255), "Main");
    ASSERT_TRUE(profiles_.WriteString(file_, "Member", "Town", "Zürich €"));
    EXPECT_NE(Bytes().find("Z\xFCrich \x80"), std::string::npos);

    const std::string before = Bytes();
    EXPECT_FALSE(profiles_.WriteString(file_, "Member", "City", "two\r\nlines"));
    EXPECT_FALSE(profiles_.WriteString(file_, "Member", "City", "a\nb"));
    EXPECT_FALSE(profiles_.WriteString(file_, "Member", "Ci\rty", "x"));
    EXPECT_FALSE(profiles_.WriteString(file_, "Mem\nber", "City", "x"));
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(profiles_.WriteString(folder_ / "no folder" / "x.ini", "A", "B", "C"));
}

// Several keys land exactly as the same keys written one by one would,
// every other line of the file kept.
TEST_F(Win32ProfileFilesTest, WritesSeveralKeysOfASectionAsOne)
{
    Write("; kept\r\n[S]\r\nOld=1\r\nLater = 2\r\n[T]\r\nb=2\r\n");
    const std::vector<ProfileEntry> entries = {
        {"later", "two"}, {"New", "Zürich €"}, {"new", "Bern"}, {"Empty", ""}};
    ASSERT_TRUE(profiles_.WriteStrings(file_, "s", entries, Durability::SurvivesCrash));
    EXPECT_EQ(profiles_.GetString(file_, "S", "Old", "", 255), "1");
    EXPECT_EQ(profiles_.GetString(file_, "S", "Later", "", 255), "two");
    EXPECT_EQ(profiles_.GetString(file_, "S", "New", "", 255), "Bern");
    EXPECT_EQ(profiles_.GetString(file_, "S", "Empty", "none", 255), "");
    EXPECT_EQ(profiles_.GetString(file_, "T", "b", "", 255), "2");
    EXPECT_EQ(Bytes().find("; kept"), 0u);

    const std::vector<ProfileEntry> none;
    ASSERT_TRUE(profiles_.WriteStrings(file_, "Fresh", none, Durability::SurvivesCrash));
    EXPECT_FALSE(profiles_.HasSection(file_, "Fresh")) << "nothing to write makes no section";
    std::vector<ProfileEntry> many;
    for (int key = 0; key < 200; ++key)
        many.push_back({"Key" + std::to_string(key), std::string(20, 'v')});
    ASSERT_TRUE(profiles_.WriteStrings(file_, "Fresh", many, Durability::SurvivesCrash));
    ASSERT_TRUE(profiles_.WriteStrings(file_, "Fresh", std::vector<ProfileEntry>{{"Key0", "w"}},
                                       Durability::SurvivesCrash));
    EXPECT_EQ(profiles_.GetString(file_, "Fresh", "Key0", "", 255), "w");
    EXPECT_EQ(profiles_.GetString(file_, "Fresh", "Key199", "", 255), std::string(20, 'v'))
        << "a section longer than the first buffer is read whole";

    const std::string before = Bytes();
    const std::vector<ProfileEntry> forged = {{"d", "4"}, {"e", "5\r\n[x]"}};
    EXPECT_FALSE(profiles_.WriteStrings(file_, "S", forged, Durability::SurvivesCrash));
    EXPECT_EQ(Bytes(), before) << "one forged line break refuses the whole group";
}

TEST_F(Win32ProfileFilesTest, FindsAndDeletesSections)
{
    Write("[First]\r\nA=1\r\n[Empty]\r\n[Last]\r\nB=2\r\n");
    EXPECT_TRUE(profiles_.HasSection(file_, "first"));
    EXPECT_TRUE(profiles_.HasSection(file_, " EMPTY ")) << "a section without keys";
    EXPECT_FALSE(profiles_.HasSection(file_, "Firs"));
    EXPECT_FALSE(profiles_.HasSection(folder_ / "none.ini", "First"));

    EXPECT_TRUE(profiles_.DeleteSection(file_, "FIRST"));
    EXPECT_FALSE(profiles_.HasSection(file_, "First"));
    EXPECT_EQ(profiles_.GetString(file_, "First", "A", "gone", 255), "gone");
    EXPECT_EQ(profiles_.GetString(file_, "Last", "B", "", 255), "2");
    EXPECT_TRUE(profiles_.HasSection(file_, "Empty"));
    EXPECT_TRUE(profiles_.DeleteSection(file_, "Never there"));
}

} // namespace
} // namespace regwiz::platform::win32
