#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/posix/files.h"
#include "platform/posix/regional_settings.h"
#include "support/temp_dir.h"

namespace regwiz::platform::posix {
namespace {

TEST(PosixFiles, AppendCreatesTheFileThenAddsAtTheEnd)
{
    test::TempDir dir;
    PosixFiles files;
    const auto log = dir / "quorvale.log";
    EXPECT_EQ(files.Append(log, "one\r\n"), FileFailure::None);
    EXPECT_EQ(files.Append(log, ""), FileFailure::None);
    EXPECT_EQ(files.Append(log, "two\r\n"), FileFailure::None);
    EXPECT_EQ(test::ReadBytes(log), "one\r\ntwo\r\n");
    EXPECT_EQ(files.Append(dir / "missing" / "a.log", "x"), FileFailure::PathNotFound);
    EXPECT_EQ(files.Append(dir.path(), "x"), FileFailure::Other) << "a folder";
}

TEST(PosixFiles, ANewLogIsPrivate)
{
    const mode_t old = ::umask(022);
    test::TempDir dir;
    PosixFiles files;
    ASSERT_EQ(files.Append(dir / "quorvale.log", "line\r\n"), FileFailure::None);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "quorvale.log").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ::umask(old);
}

TEST(PosixFiles, MissingFilesAndFoldersAreNoFiles)
{
    test::TempDir dir;
    PosixFiles files;
    test::WriteBytes(dir / "agree.txt", std::string("a\0b", 3));
    EXPECT_EQ(files.Read(dir / "agree.txt"), std::string("a\0b", 3));
    EXPECT_EQ(files.Read(dir / "absent.txt"), std::nullopt);
    EXPECT_EQ(files.Read(dir.path()), std::nullopt);
    EXPECT_TRUE(files.IsFile(dir / "agree.txt"));
    EXPECT_FALSE(files.IsFile(dir / "absent.txt"));
    EXPECT_FALSE(files.IsFile(dir.path()));
}

TEST(PosixFiles, FoldersAreMadeListedAndFilesRemoved)
{
    test::TempDir dir;
    PosixFiles files;
    EXPECT_TRUE(files.CreateFolders(dir / "app" / "conf"));
    EXPECT_TRUE(files.CreateFolders(dir / "app" / "conf")) << "already there";
    test::WriteBytes(dir / "app" / "__7.ini", "");
    EXPECT_EQ(files.FileNames(dir / "app"), std::vector<std::string>{"__7.ini"}) << "no folders";
    EXPECT_TRUE(files.FileNames(dir / "absent").empty());
    EXPECT_TRUE(files.Remove(dir / "app" / "__7.ini"));
    EXPECT_FALSE(files.IsFile(dir / "app" / "__7.ini"));
    EXPECT_TRUE(files.Remove(dir / "app" / "__7.ini")) << "already gone";
}

TEST(LocaleSettings, TwelveAndTwentyFourHourClocks)
{
    const LocaleSettings c("C");
    const LocalTime midnight{2026, 1, 1, 0, 0, 9, 4};
    const LocalTime afternoon{2026, 7, 4, 13, 5, 9, 6};
    EXPECT_EQ(c.LongTime(midnight), "12:00:09 AM");
    EXPECT_EQ(c.LongTime({2026, 1, 1, 12, 30, 0, 4}), "12:30:00 PM");
    EXPECT_EQ(c.LongTime(afternoon), "1:05:09 PM");
    EXPECT_EQ(c.LongDate(afternoon), "Saturday, July 04, 2026");
    EXPECT_EQ(LocaleSettings("no_SUCH.locale").LongDate(midnight), "Thursday, January 01, 2026");
}

TEST(LocaleSettings, UnknownLocalesNameNoNumberMarks)
{
    EXPECT_EQ(LocaleSettings("C").DecimalSeparator(), ".");
    EXPECT_EQ(LocaleSettings("C").ThousandsSeparator(), "");
    EXPECT_EQ(LocaleSettings("no_SUCH.locale").DecimalSeparator(), "");
}

} // namespace
} // namespace regwiz::platform::posix
