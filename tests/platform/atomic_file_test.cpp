#include "platform/posix/atomic_file.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace regwiz::platform::posix {
namespace {

TEST(AtomicFile, UpdateSeesCurrentContentAndReplacesIt)
{
    test::TempDir dir;
    const auto file = dir / "a.ini";
    EXPECT_EQ(UpdateFile(file,
                         [](const std::optional<std::string>& current) {
                             EXPECT_FALSE(current.has_value());
                             return std::optional<std::string>("one");
                         }),
              0);
    EXPECT_EQ(UpdateFile(file,
                         [](const std::optional<std::string>& current) {
                             return std::optional<std::string>(current.value_or("?") + "+two");
                         }),
              0);
    EXPECT_EQ(test::ReadBytes(file), "one+two");
    EXPECT_EQ(UpdateFile(file, [](const auto&) { return std::optional<std::string>(); }), 0);
    EXPECT_EQ(test::ReadBytes(file), "one+two") << "no change, no write";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary file is left behind";
}

TEST(AtomicFile, KeepsPermissionsAndReplacesALeftoverTemporaryFile)
{
    test::TempDir dir;
    const auto file = dir / "b.dat";
    test::WriteBytes(file, "old");
    ::chmod(file.c_str(), 0600);
    test::WriteBytes(dir / ".b.dat.tmp", "half of a dead writer's fi");
    ASSERT_EQ(UpdateFile(file, [](const auto&) { return std::optional<std::string>("new"); }), 0);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(test::ReadBytes(file), "new");
    EXPECT_FALSE(std::filesystem::exists(dir / ".b.dat.tmp"));
}

TEST(AtomicFile, NewFilesArePrivateAndNoneStaysWritableByOthers)
{
    test::TempDir dir;
    auto write = [](const auto&) { return std::optional<std::string>("x"); };
    auto mode = [](const std::filesystem::path& file) {
        struct stat st {};
        EXPECT_EQ(::stat(file.c_str(), &st), 0);
        return st.st_mode & 0777;
    };
    ASSERT_EQ(UpdateFile(dir / "new.reg", write), 0);
    EXPECT_EQ(mode(dir / "new.reg"), 0600u);
    test::WriteBytes(dir / "shared.ini", "old");
    ::chmod((dir / "shared.ini").c_str(), 0666);
    ASSERT_EQ(UpdateFile(dir / "shared.ini", write), 0);
    EXPECT_EQ(mode(dir / "shared.ini"), 0644u);
}

TEST(AtomicFile, ReportsMissingFolderAndUnreadableFile)
{
    test::TempDir dir;
    auto write = [](const auto&) { return std::optional<std::string>("x"); };
    EXPECT_EQ(UpdateFile(dir / "no" / "such.ini", write), ENOENT);
    int error = 0;
    EXPECT_FALSE(ReadWholeFile(dir / "absent", error));
    EXPECT_EQ(error, 0) << "a missing file is no error";
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(ReadWholeFile(dir / "folder", error));
    EXPECT_EQ(error, EISDIR);
}

} // namespace
} // namespace regwiz::platform::posix
