// The virtual event loop with transfers that report through posts from other
// threads (WinINet's way): portable, so it runs on Linux and under wine.
#include "platform/fake/virtual_event_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace regwiz::platform::fake {
namespace {

using std::chrono::milliseconds;

class TransferPostsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loop.WatchTransfers([this] { return underWay.load(); });
        loop.StartTimer(1000, [this] { timerRanAt = loop.NowMs(); });
    }

    VirtualEventLoop loop;
    std::atomic<bool> underWay{true};
    std::int64_t timerRanAt = -1;
};

TEST_F(TransferPostsTest, APostFromAnotherThreadEndsTheWaitWhileTheClockStandsStill)
{
    std::int64_t postRanAt = -1;
    std::thread worker([&] {
        std::this_thread::sleep_for(milliseconds(20));
        loop.Post([&] {
            postRanAt = loop.NowMs();
            underWay = false;
        });
    });
    loop.WaitForEvents();
    worker.join();
    EXPECT_EQ(postRanAt, 0);   // the transfer's report came first ...
    EXPECT_EQ(timerRanAt, -1); // ... and the wizard's timer did not race ahead

    // The transfer is over: the next wait jumps to the timer.
    loop.WaitForEvents();
    EXPECT_EQ(timerRanAt, 1000);
}

TEST_F(TransferPostsTest, ATransferThatEndsWithoutAPostLetsTheClockMoveAgain)
{
    std::thread worker([&] {
        std::this_thread::sleep_for(milliseconds(20));
        underWay = false; // cancelled: nothing more is posted
    });
    loop.WaitForEvents();
    worker.join();
    EXPECT_EQ(timerRanAt, 1000);
}

TEST_F(TransferPostsTest, PostsOfSeveralThreadsAllRunEachThreadsInOrder)
{
    constexpr int kThreads = 4;
    constexpr int kPosts = 200;
    std::vector<std::vector<int>> seen(kThreads);
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i)
                loop.Post([&, t, i] { seen[t].push_back(i); });
        });
    // The loop runs posts while the threads still add theirs.
    int ran = 0;
    while (ran < kThreads * kPosts) {
        loop.WaitForEvents();
        ++ran;
    }
    for (auto& worker : workers)
        worker.join();
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[t].size(), static_cast<std::size_t>(kPosts));
        for (int i = 0; i < kPosts; ++i)
            EXPECT_EQ(seen[t][i], i);
    }
    EXPECT_EQ(loop.NowMs(), 0);
    EXPECT_EQ(timerRanAt, -1);
}

} // namespace
} // namespace regwiz::platform::fake
