#include "platform/fake/virtual_event_loop.h"

#ifndef _WIN32
#include <poll.h>
#endif

#include <algorithm>
#include <cstdint>
#include <vector>

namespace regwiz::platform::fake {

namespace {

// How often a wait for a transfer's posts looks again whether the transfer is
// still under way: one may end without a post (cancelled).
constexpr int kTransferCheckMs = 50;

#ifndef _WIN32

short ToPollEvents(int events)
{
    short wanted = 0;
    if (events & EventLoop::Readable)
        wanted |= POLLIN;
    if (events & EventLoop::Writable)
        wanted |= POLLOUT;
    return wanted;
}

int FromPollEvents(short revents, int watched)
{
    int ready = 0;
    if (revents & (POLLIN | POLLPRI))
        ready |= EventLoop::Readable;
    if (revents & POLLOUT)
        ready |= EventLoop::Writable;
    // A hang-up or an error is reported as the watched readiness: the owner's
    // next read or write is what finds out what went wrong.
    if (revents & (POLLERR | POLLHUP | POLLNVAL))
        ready |= watched;
    return ready;
}
#endif

} // namespace

bool VirtualEventLoop::HasPosted() const
{
    const std::lock_guard lock(postedMutex_);
    return !posted_.empty();
}

bool VirtualEventLoop::RunPosted()
{
    Callback callback;
    {
        const std::lock_guard lock(postedMutex_);
        if (posted_.empty())
            return false;
        callback = std::move(posted_.front());
        posted_.pop_front();
    }
    callback();
    return true;
}

bool VirtualEventLoop::WaitForPost(int timeoutMs)
{
    const int slice = timeoutMs < 0 ? kTransferCheckMs : std::min(timeoutMs, kTransferCheckMs);
    {
        std::unique_lock lock(postedMutex_);
        postedChanged_.wait_for(lock, std::chrono::milliseconds(slice),
                                [this] { return !posted_.empty(); });
    }
    return RunPosted();
}

bool VirtualEventLoop::RunTimerDueBy(std::int64_t limit)
{
    if (timers_.empty() || timers_.begin()->first.first > limit)
        return false;
    auto first = timers_.begin();
    now_ = std::max(now_, first->first.first);
    Callback callback = std::move(first->second);
    timers_.erase(first);
    callback();
    return true;
}

#ifndef _WIN32
bool VirtualEventLoop::PollNetwork(int timeoutMs)
{
    std::vector<pollfd> fds;
    std::vector<WatchId> ids;
    for (const auto& [id, watch] : watches_) {
        // A watch without events is left out: poll would report its hang-up forever.
        fds.push_back({watch.events != 0 ? watch.fd : -1, ToPollEvents(watch.events), 0});
        ids.push_back(id);
    }
    if (::poll(fds.data(), fds.size(), timeoutMs) <= 0)
        return false;
    bool ran = false;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        // An earlier callback may have removed or replaced this watch.
        auto watch = watches_.find(ids[i]);
        if (watch == watches_.end() || fds[i].revents == 0)
            continue;
        const int ready = FromPollEvents(fds[i].revents, watch->second.events);
        if (ready == 0)
            continue;
        auto callback = watch->second.callback; // survives an UnwatchFd from inside
        callback(ready);
        ran = true;
    }
    return ran;
}
#endif

bool VirtualEventLoop::RunNetworkTimersDue()
{
    const auto now = RealClock::now();
    // Timers started by these callbacks wait for the next round, even when due at once.
    const TimerId newest = nextId_;
    bool ran = false;
    for (;;) {
        auto due = std::find_if(networkTimers_.begin(), networkTimers_.end(), [&](const auto& t) {
            return t.first.first <= now && t.first.second < newest;
        });
        if (due == networkTimers_.end())
            return ran;
        Callback callback = std::move(due->second);
        networkTimers_.erase(due);
        callback();
        ran = true;
    }
}

int VirtualEventLoop::MsUntilNextNetworkTimer() const
{
    if (networkTimers_.empty())
        return -1;
    const auto left = networkTimers_.begin()->first.first - RealClock::now();
    // Rounded up, so the wake-up never comes before the timer is due.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, INT32_MAX));
}

bool VirtualEventLoop::WaitForNetwork()
{
    // Until something ran: a poll interrupted by a signal runs nothing.
    while (HasNetworkWork()) {
        const int timeoutMs = MsUntilNextNetworkTimer();
#ifndef _WIN32
        const bool ran = watches_.empty() ? WaitForPost(timeoutMs) : PollNetwork(timeoutMs);
#else
        const bool ran = WaitForPost(timeoutMs);
#endif
        const bool timed = RunNetworkTimersDue();
        if (ran || timed)
            return true;
    }
    return false; // the transfers ended without a report (cancelled)
}

void VirtualEventLoop::DoEvents()
{
    // Only what is pending now: work posted meanwhile waits for the next round.
    std::size_t posted = 0;
    {
        const std::lock_guard lock(postedMutex_);
        posted = posted_.size();
    }
    while (posted-- > 0 && RunPosted()) {
    }
    const std::int64_t now = now_;
    while (RunTimerDueBy(now)) {
    }
#ifndef _WIN32
    if (!watches_.empty())
        PollNetwork(0);
#endif
    RunNetworkTimersDue();
}

void VirtualEventLoop::WaitForEvents()
{
    if (RunPosted())
        return;
    if (RunTimerDueBy(now_))
        return;
    // A transfer under way holds the virtual clock: its progress comes first.
    if (HasNetworkWork() && WaitForNetwork())
        return;
    if (RunPosted() || RunTimerDueBy(INT64_MAX))
        return;
    throw EventLoopStalled{now_};
}

EventLoop::TimerId VirtualEventLoop::StartTimer(int milliseconds, Callback callback)
{
    const TimerId id = nextId_++;
    timers_.emplace(std::make_pair(now_ + std::max(milliseconds, 0), id), std::move(callback));
    return id;
}

void VirtualEventLoop::StopTimer(TimerId timer)
{
    std::erase_if(timers_, [timer](const auto& entry) { return entry.first.second == timer; });
    std::erase_if(networkTimers_,
                  [timer](const auto& entry) { return entry.first.second == timer; });
}

void VirtualEventLoop::Post(Callback callback)
{
    {
        const std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(callback));
    }
    postedChanged_.notify_one();
}

#ifndef _WIN32
EventLoop::WatchId VirtualEventLoop::WatchFd(int fd, int events,
                                             std::function<void(int readyEvents)> callback)
{
    const WatchId id = nextId_++;
    watches_.emplace(id, Watch{fd, events, std::move(callback)});
    return id;
}

void VirtualEventLoop::UnwatchFd(WatchId watch)
{
    watches_.erase(watch);
}
#endif

EventLoop::TimerId VirtualEventLoop::StartNetworkTimer(int milliseconds, Callback callback)
{
    const TimerId id = nextId_++;
    const auto due = RealClock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
    networkTimers_.emplace(std::make_pair(due, id), std::move(callback));
    return id;
}

void VirtualEventLoop::AdvanceBy(std::int64_t milliseconds)
{
    const std::int64_t target = now_ + std::max<std::int64_t>(milliseconds, 0);
    while (RunPosted() || RunTimerDueBy(target)) {
    }
    now_ = std::max(now_, target);
}

} // namespace regwiz::platform::fake
