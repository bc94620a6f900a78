#include "platform/win32/win32_event_loop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_platform_parts.h"

namespace regwiz::platform::win32 {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Win32EventLoopTest : public ::testing::Test {
protected:
    // Waits in the loop until `done`, bounded in rounds, not in time.
    template <typename Done> void WaitUntil(Done done)
    {
        for (int round = 0; round < 1000 && !done(); ++round)
            loop->WaitForEvents();
        ASSERT_TRUE(done());
    }

    std::unique_ptr<EventLoop> loop = MakeWin32EventLoop();
    std::vector<std::string> ran;
};

TEST_F(Win32EventLoopTest, TimersRunOnceInTheOrderTheyAreDue)
{
    loop->StartTimer(60, [&] { ran.push_back("60"); });
    loop->StartTimer(20, [&] { ran.push_back("20 first"); });
    const auto stopped = loop->StartTimer(10, [&] { ran.push_back("stopped"); });
    loop->StartTimer(20, [&] { ran.push_back("20 second"); });
    loop->StartTimer(0, [&] {
        ran.push_back("0");
        // Started from a timer: runs after those due before it.
        loop->StartTimer(30, [&] { ran.push_back("30 from 0"); });
    });
    loop->StopTimer(stopped);
    loop->StopTimer(9999); // unknown: nothing happens

    WaitUntil([&] { return ran.size() == 5; });
    EXPECT_THAT(ran, ElementsAre("0", "20 first", "20 second", "30 from 0", "60"));

    loop->StartTimer(0, [&] { ran.push_back("last"); });
    WaitUntil([&] { return ran.size() == 6; });
    EXPECT_EQ(ran.size(), 6u) << "each timer ran once";
}

TEST_F(Win32EventLoopTest, DoEventsRunsWhatIsPendingButNotWhatItPostsMeanwhile)
{
    loop->DoEvents();
    EXPECT_THAT(ran, IsEmpty()) << "nothing pending: returns at once";
    loop->Post([&] { ran.push_back("a"); });
    loop->Post([&] {
        ran.push_back("b");
        loop->Post([&] { ran.push_back("posted by b"); });
    });
    loop->DoEvents();
    EXPECT_THAT(ran, ElementsAre("a", "b"));
    loop->DoEvents();
    EXPECT_THAT(ran, ElementsAre("a", "b", "posted by b"));
}

TEST_F(Win32EventLoopTest, WaitForEventsReturnsForACallPostedByAnotherThread)
{
    DWORD ranOn = 0;
    std::thread other([&] {
        Sleep(50); // the loop is waiting by then, most likely
        loop->Post([&] { ranOn = GetCurrentThreadId(); });
    });
    WaitUntil([&] { return ranOn != 0; });
    other.join();
    EXPECT_EQ(ranOn, GetCurrentThreadId()) << "posted calls run on the loop's thread";
}

TEST_F(Win32EventLoopTest, AHandlerMayWaitInTheLoopItself)
{
    loop->Post([&] {
        ran.push_back("outer");
        loop->StartTimer(10, [&] { ran.push_back("inner"); });
        while (ran.size() < 2)
            loop->WaitForEvents(); // nested, as the wizard's wait loops are
        ran.push_back("outer done");
    });
    WaitUntil([&] { return ran.size() == 3; });
    EXPECT_THAT(ran, ElementsAre("outer", "inner", "outer done"));
}

TEST_F(Win32EventLoopTest, AnEndedLoopFreesCallsStillPostedWithoutRunningThem)
{
    auto owned = std::make_shared<int>(0);
    loop->Post([owned, this] { ran.push_back("ran"); });
    loop->StartTimer(0, [owned] {});
    EXPECT_EQ(owned.use_count(), 3);
    loop.reset();
    EXPECT_EQ(owned.use_count(), 1);
    EXPECT_THAT(ran, IsEmpty());

    MSG message; // and nothing of the old loop is left in the thread's queue
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Win32EventLoopTest, ATimerNeverRunsEarly)
{
    const auto start = loop->NowMs();
    std::int64_t firedAt = 0;
    loop->StartTimer(40, [&] { firedAt = loop->NowMs(); });
    WaitUntil([&] { return firedAt != 0; });
    EXPECT_GE(firedAt - start, 40);
}

} // namespace
} // namespace regwiz::platform::win32
