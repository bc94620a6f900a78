#pragma once

#include <chrono>
#include <deque>
#include <map>
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
// server can be talked to without the wizard's timers racing ahead.
class VirtualEventLoop final : public EventLoop {
public:
    void DoEvents() override;
    void WaitForEvents() override;
    TimerId StartTimer(int milliseconds, Callback callback) override;
    void StopTimer(TimerId timer) override;
    void Post(Callback callback) override;
    std::int64_t NowMs() const override { return now_; }

    WatchId WatchFd(int fd, int events, std::function<void(int readyEvents)> callback) override;
    void UnwatchFd(WatchId watch) override;
    TimerId StartNetworkTimer(int milliseconds, Callback callback) override;

    // Lets `milliseconds` pass, running posted events and every timer due on
    // the way, in order.
    void AdvanceBy(std::int64_t milliseconds);

    bool HasPendingWork() const { return !posted_.empty() || !timers_.empty() || HasNetworkWork(); }
    bool HasNetworkWork() const { return !watches_.empty() || !networkTimers_.empty(); }

private:
    using RealClock = std::chrono::steady_clock;
    struct Watch {
        int fd;
        int events;
        std::function<void(int)> callback;
    };

    bool RunPosted();
    bool RunTimerDueBy(std::int64_t limit);
    bool PollNetwork(int timeoutMs);
    bool RunNetworkTimersDue();
    int MsUntilNextNetworkTimer() const;
    void WaitForNetwork();

    std::int64_t now_ = 0;
    TimerId nextId_ = 1;
    std::deque<Callback> posted_;
    // (due time, id) -> callback: timers due at the same time run in the order they were started.
    std::map<std::pair<std::int64_t, TimerId>, Callback> timers_;
    std::map<std::pair<RealClock::time_point, TimerId>, Callback> networkTimers_;
    std::map<WatchId, Watch> watches_;
};

} // namespace regwiz::platform::fake
