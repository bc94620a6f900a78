#include "diagnostics/log_file.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace regwiz::diagnostics {
namespace {

class Log : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("LC_ALL", "C", 1); // United States forms
        clock.Set({2026, 12, 5, 10, 15, 2, 6});
        globals.gAppPath = home.path().string();
    }

    test::TempDir home;
    test::FakePlatform fake{home / "Program Files"};
    platform::fake::FakeClock& clock = fake.clock;
    Globals globals;
    LogFile log{fake.ports, globals};
};

TEST_F(Log, LineHasTimeDateModuleProcedureAndMessage)
{
    log.WriteLog("RegWizard", "Class_Initialize",
                 "------------------------ BEGIN ------------------------");
    log.WriteLog("frmRegWizard", "Form Load", "");
    log.WriteLog("frmRegWizard", "Form Load", "Begin");
    EXPECT_EQ(test::ReadBytes(home / "quorvale.log"),
              "10:15:02 AM Saturday, December 05, 2026 RegWizard(Class_Initialize): "
              "------------------------ BEGIN ------------------------\r\n"
              "10:15:02 AM Saturday, December 05, 2026 frmRegWizard(Form Load): \r\n"
              "10:15:02 AM Saturday, December 05, 2026 frmRegWizard(Form Load): Begin\r\n");
}

TEST_F(Log, LinesAreAppendedInWindows1252)
{
    test::WriteBytes(home / "quorvale.log", "earlier line\r\n");
    log.WriteLog("RegWizard", "cmdNext", "Zoë paid €5");
    EXPECT_EQ(test::ReadBytes(home / "quorvale.log"),
              "earlier line\r\n10:15:02 AM Saturday, December 05, 2026 RegWizard(cmdNext): Zo\xEB "
              "paid \x80"
              "5\r\n");
}

TEST_F(Log, WithoutApplicationFolderTheProgramFolderBecomesIt)
{
    globals.gAppPath.clear();
    const auto folder = home / "Program Files" / "quorvale 4.02";
    std::filesystem::create_directories(folder);
    log.WriteLog("RegWizard", "Class_Initialize", "x");
    EXPECT_EQ(globals.gAppPath, folder.string());
    EXPECT_TRUE(std::filesystem::exists(folder / "quorvale.log"));
}

TEST_F(Log, UnwritableLogRaisesToTheCaller)
{
    globals.gAppPath = (home / "missing").string();
    try {
        log.WriteLog("RegWizard", "Class_Initialize", "x");
        FAIL() << "no error raised";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.Number(), err::PathNotFound);
    }
    EXPECT_FALSE(std::filesystem::exists(home / "missing"));
}

} // namespace
} // namespace regwiz::diagnostics
