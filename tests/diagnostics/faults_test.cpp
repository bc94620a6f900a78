#include "diagnostics/faults.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/errors.h"

// This program does not link the fail-on-fault watcher: the faults raised here
// are the ones under test.
namespace regwiz::diagnostics {
namespace {

TEST(ResumeNext, GoesOnSilentlyAfterARunTimeErrorAndReportsAnyOtherException)
{
    std::vector<std::string> reported;
    std::vector<std::string> steps;
    {
        FaultWatch watch([&](std::string_view what) { reported.emplace_back(what); });

        ResumeNext([&] {
            steps.emplace_back("run-time error");
            throw RunTimeError(380, "Invalid property value");
        });
        EXPECT_TRUE(reported.empty()) << "a run-time error is no fault";

        ResumeNext([&] {
            steps.emplace_back("fault");
            throw std::out_of_range("vector index 7");
        });
        ResumeNext([&] { steps.emplace_back("next"); });
        EXPECT_EQ(reported, std::vector<std::string>{"vector index 7"});
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"run-time error", "fault", "next"}));

    ResumeNext([] { throw std::logic_error("after the watch"); });
    EXPECT_EQ(reported.size(), 1u) << "a watch that ended hears nothing";
}

} // namespace
} // namespace regwiz::diagnostics
