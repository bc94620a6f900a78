#pragma once

#include <cstdint>
#include <functional>

namespace regwiz::platform {

// The user-interface thread's event loop, as the wizard waits on it: every
// long operation is a loop that lets pending events run, so clicks, timers and
// the components' events arrive nested inside running handlers.
class EventLoop {
public:
    using Callback = std::function<void()>;
    using TimerId = std::uint64_t;

    virtual ~EventLoop() = default;

    // Runs the events that are pending now, without waiting ("DoEvents").
    virtual void DoEvents() = 0;

    // Blocks until something happens (a timer, a posted event, a transfer's
    // progress), runs it and returns. Wait loops call this instead of spinning.
    virtual void WaitForEvents() = 0;

    // Runs `callback` once, `milliseconds` from now, from the loop.
    virtual TimerId StartTimer(int milliseconds, Callback callback) = 0;
    virtual void StopTimer(TimerId timer) = 0;

    // Runs `callback` from the loop as soon as it gets there.
    virtual void Post(Callback callback) = 0;

    // Milliseconds on the loop's clock.
    virtual std::int64_t NowMs() const = 0;

    // Network transfers: a socket watched for reading and/or writing, and
    // timers that run in real time even where the wizard's clock is virtual.
    using WatchId = std::uint64_t;
    enum FdEvents { Readable = 1, Writable = 2 };
    virtual WatchId WatchFd(int fd, int events, std::function<void(int readyEvents)> callback);
    virtual void UnwatchFd(WatchId watch);
    virtual TimerId StartNetworkTimer(int milliseconds, Callback callback)
    {
        return StartTimer(milliseconds, std::move(callback));
    }
};

} // namespace regwiz::platform
