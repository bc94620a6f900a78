#include "platform/fake/virtual_event_loop.h"

#include <algorithm>

namespace regwiz::platform::fake {

bool VirtualEventLoop::RunPosted()
{
    if (posted_.empty())
        return false;
    Callback callback = std::move(posted_.front());
    posted_.pop_front();
    callback();
    return true;
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

void VirtualEventLoop::DoEvents()
{
    // Only what is pending now: work posted meanwhile waits for the next round.
    std::size_t posted = posted_.size();
    while (posted-- > 0 && RunPosted()) {
    }
    const std::int64_t now = now_;
    while (RunTimerDueBy(now)) {
    }
}

void VirtualEventLoop::WaitForEvents()
{
    if (RunPosted())
        return;
    if (RunTimerDueBy(INT64_MAX))
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
}

void VirtualEventLoop::Post(Callback callback)
{
    posted_.push_back(std::move(callback));
}

void VirtualEventLoop::AdvanceBy(std::int64_t milliseconds)
{
    const std::int64_t target = now_ + std::max<std::int64_t>(milliseconds, 0);
    while (RunPosted() || RunTimerDueBy(target)) {
    }
    now_ = std::max(now_, target);
}

} // namespace regwiz::platform::fake
