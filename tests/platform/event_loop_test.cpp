#include "platform/fake/virtual_event_loop.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace regwiz::platform::fake {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

struct Pipe {
    Pipe() { EXPECT_EQ(::pipe(fds), 0); }
    ~Pipe()
    {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    void Write() const { EXPECT_EQ(::write(fds[1], "x", 1), 1); }
    int fds[2] = {-1, -1}; // read end, write end
};

class NetworkLoopTest : public ::testing::Test {
protected:
    VirtualEventLoop loop;
    Pipe pipe;
    std::vector<int> ready;
};

TEST_F(NetworkLoopTest, ReadinessOfAWatchedFdEndsAWaitAndHoldsTheVirtualClock)
{
    bool virtualTimerRan = false;
    loop.StartTimer(10, [&] { virtualTimerRan = true; });
    const auto watch = loop.WatchFd(pipe.fds[0], EventLoop::Readable,
                                    [&](int events) { ready.push_back(events); });
    std::jthread writer([&] {
        std::this_thread::sleep_for(milliseconds(50));
        pipe.Write();
    });
    const auto start = Clock::now();
    loop.WaitForEvents();

    EXPECT_GE(Clock::now() - start, milliseconds(40));
    EXPECT_EQ(ready, std::vector<int>{EventLoop::Readable});
    EXPECT_FALSE(virtualTimerRan) << "a watched socket holds the virtual clock";
    EXPECT_EQ(loop.NowMs(), 0);

    loop.UnwatchFd(watch);
    loop.WaitForEvents();
    EXPECT_TRUE(virtualTimerRan) << "with no network work left the clock jumps again";
    EXPECT_EQ(loop.NowMs(), 10);
}

TEST_F(NetworkLoopTest, ReportsWritabilityAndLetsCallbacksChangeTheirWatches)
{
    EventLoop::WatchId second = 0;
    EventLoop::WatchId first = 0;
    first = loop.WatchFd(pipe.fds[1], EventLoop::Writable, [&](int events) {
        ready.push_back(events);
        loop.UnwatchFd(first);
        loop.UnwatchFd(second); // removed before its turn in this round: never runs
        loop.Post([&] { ready.push_back(-1); });
    });
    second = loop.WatchFd(pipe.fds[1], EventLoop::Writable,
                          [&](int events) { ready.push_back(100 + events); });

    loop.WaitForEvents();
    loop.WaitForEvents();

    EXPECT_EQ(ready, (std::vector<int>{EventLoop::Writable, -1}));
    EXPECT_FALSE(loop.HasPendingWork());
    EXPECT_THROW(loop.WaitForEvents(), EventLoopStalled);
}

TEST_F(NetworkLoopTest, NetworkTimersRunInRealTimeWhileTheVirtualClockStandsStill)
{
    std::vector<std::string> ran;
    loop.StartTimer(5, [&] { ran.push_back("virtual"); });
    const auto stopped = loop.StartNetworkTimer(20, [&] { ran.push_back("stopped"); });
    loop.StartNetworkTimer(100, [&] { ran.push_back("network"); });
    loop.StopTimer(stopped);

    const auto start = Clock::now();
    loop.WaitForEvents();
    const auto waited = Clock::now() - start;

    EXPECT_EQ(ran, std::vector<std::string>{"network"});
    EXPECT_GE(waited, milliseconds(100));
    EXPECT_LT(waited, milliseconds(1000));
    EXPECT_EQ(loop.NowMs(), 0);

    loop.WaitForEvents();
    EXPECT_EQ(ran.back(), "virtual");
    EXPECT_EQ(loop.NowMs(), 5);
}

TEST_F(NetworkLoopTest, DoEventsRunsWhatIsReadyWithoutWaiting)
{
    loop.WatchFd(pipe.fds[0], EventLoop::Readable, [&](int events) { ready.push_back(events); });
    bool timerRan = false;
    // Started with no delay by a network callback: runs in the next round, not this one.
    loop.StartNetworkTimer(0, [&] {
        timerRan = true;
        loop.StartNetworkTimer(0, [&] { ready.push_back(-1); });
    });
    loop.StartNetworkTimer(60'000, [] {});

    const auto start = Clock::now();
    loop.DoEvents();
    EXPECT_TRUE(timerRan);
    EXPECT_TRUE(ready.empty());

    pipe.Write();
    loop.DoEvents();
    EXPECT_LT(Clock::now() - start, milliseconds(500));
    EXPECT_EQ(ready, (std::vector<int>{EventLoop::Readable, -1}));
}

} // namespace
} // namespace regwiz::platform::fake
