#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

#include "platform/event_loop.h"

namespace regwiz::platform::fake {

// Raised by a wait that can never end: nothing is posted and no timer is due.
// Not a std::exception, so no handler of the wizard mistakes it for its own.
struct EventLoopStalled {
    std::int64_t atMs = 0;
};

// An event loop on a virtual clock: time moves only when a wait has nothing
// else to do (it jumps to the next timer) or when AdvanceBy is called, so a
// whole sign-up with its 3000 ms timer and dialling delays runs in an instant
// and always the same way.
//
// Network transfers are the exception: their sockets and time-outs run in real
// time, and the virtual clock stands still while one is under way, so a real
// server can be talked to without the wizard's timers racing ahead. On POSIX
// the loop watches the transfers' sockets (poll); where a transfer's progress
// comes as posts from other threads instead (WinINet), the loop is told when a
// transfer is under way (WatchTransfers) and then waits for those posts.
//
// Post may be called from any thread; everything else from the loop's.
class VirtualEventLoop final : public EventLoop {
public:
    void DoEvents() override;
    void WaitForEvents() override;
    TimerId StartTimer(int milliseconds, Callback callback) override;
    void StopTimer(TimerId timer) override;
    void Post(Callback callback) override;
    std::int64_t NowMs() const override { return now_; }

#ifndef _WIN32
    WatchId WatchFd(int fd, int events, std::function<void(int readyEvents)> callback) override;
    void UnwatchFd(WatchId watch) override;
#endif
    TimerId StartNetworkTimer(int milliseconds, Callback callback) override;

    // Lets `milliseconds` pass, running posted events and every timer due on
    // the way, in order.
    void AdvanceBy(std::int64_t milliseconds);

    // Transfers whose progress arrives as posts from other threads, with no
    // socket to watch: while `underWay` says one is, a wait with nothing to
    // run waits in real time for a post, and the virtual clock stands still.
    void WatchTransfers(std::function<bool()> underWay)
    {
        transfersUnderWay_ = std::move(underWay);
    }

    bool HasPendingWork() const
    {
        return HasPosted() || !timers_.empty() || HasNetworkWork();
    }
    bool HasNetworkWork() const
    {
        return !watches_.empty() || !networkTimers_.empty()
               || (transfersUnderWay_ && transfersUnderWay_());
    }

private:
    using RealClock = std::chrono::steady_clock;
    struct Watch {
        int fd;
        int events;
        std::function<void(int)> callback;
    };

    bool HasPosted() const;
    bool RunPosted();
    bool RunTimerDueBy(std::int64_t limit);
    // Runs what became ready within `timeoutMs` (-1: no limit); false when nothing did.
    bool PollNetwork(int timeoutMs);
    bool WaitForPost(int timeoutMs);
    bool RunNetworkTimersDue();
    int MsUntilNextNetworkTimer() const;
    // Until something of the network ran (true) or no transfer is under way.
    bool WaitForNetwork();

    std::int64_t now_ = 0;
    TimerId nextId_ = 1;
    mutable std::mutex postedMutex_;
    std::condition_variable postedChanged_;
    std::deque<Callback> posted_; // guarded by postedMutex_
    // (due time, id) -> callback: timers due at the same time run in the order they were started.
    std::map<std::pair<std::int64_t, TimerId>, Callback> timers_;
    std::map<std::pair<RealClock::time_point, TimerId>, Callback> networkTimers_;
    std::map<WatchId, Watch> watches_;
    std::function<bool()> transfersUnderWay_;
};

} // namespace regwiz::platform::fake
