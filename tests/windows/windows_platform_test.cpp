#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/default_platform.h"

namespace regwiz::platform {
namespace {

// The pieces of the Windows platform fit together: one set of ports whose
// loop runs timers, whose transfer factory makes controls and whose code page
// is the system's.
TEST(WindowsPlatform, AssemblesEveryPort)
{
    DefaultPlatform& platform = TheDefaultPlatform();
    Ports& ports = platform.ThePorts();
    EXPECT_EQ(&ports, &TheDefaultPlatform().ThePorts()) << "one platform per process";

    bool fired = false;
    ports.loop.StartTimer(10, [&] { fired = true; });
    for (int round = 0; round < 1000 && !fired; ++round)
        ports.loop.WaitForEvents();
    EXPECT_TRUE(fired);

    struct NoEvents final : InetEvents {
        void StateChanged(std::int16_t) override {}
    } events;
    ASSERT_TRUE(ports.inetFactory);
    EXPECT_NE(ports.inetFactory(events), nullptr);
    ASSERT_TRUE(ports.rasFactory);
    EXPECT_FALSE(ports.regional.LongDate(ports.clock.Now()).empty());
    EXPECT_EQ(FromAnsi("\x80"), "\u20AC");
    EXPECT_TRUE(platform.ViewFactory()) << "the wizard shows its window of standard controls";
}

} // namespace
} // namespace regwiz::platform
