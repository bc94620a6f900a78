#include "diagnostics/error_handlers.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace regwiz::diagnostics {
namespace {

TEST(TerminalError, ShowsTheSupportMessageWithTheNormalPointer)
{
    test::FakePlatform fake;
    fake.pointer.SetScreenPointer(platform::pointer::Hourglass);

    TerminalError(fake.ports, 10500);

    ASSERT_EQ(fake.boxes.Shown().size(), 1u);
    const platform::fake::ShownBox& box = fake.boxes.Shown()[0];
    EXPECT_EQ(box.text,
              "A terminal error has occurred in the registration wizard.\r\n\r\n"
              "The registration wizard cannot continue.\r\n\r\n"
              "Please call quorvale technical support at 1-800-555-0142.\r\n\r\n"
              "Let them know what step you were in and what the error message was.\r\n\r\n"
              "Error number:  10500\r\n\r\n");
    EXPECT_EQ(box.title, "An error has occurred");
    EXPECT_EQ(box.style, 16);
    EXPECT_EQ(box.screenPointer, platform::pointer::Default);
}

} // namespace
} // namespace regwiz::diagnostics
