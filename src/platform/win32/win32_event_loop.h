#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <utility>

#include "platform/event_loop.h"

namespace regwiz::platform::win32 {

// The event loop over the thread's message loop: a message-only window of the
// thread that creates the loop receives the timer and the posted calls, and
// waiting is GetMessage, so it costs no CPU. Timers run in the order they are
// due (one SetTimer for the earliest). Post may be called from any thread;
// everything else from the loop's own thread only.
//
// File-descriptor watches are the POSIX adapters' need: nothing on Windows
// watches sockets through the loop (WinINet posts its progress), so WatchFd
// keeps the port's default, which refuses.
class Win32EventLoop final : public EventLoop {
public:
    Win32EventLoop();
    ~Win32EventLoop() override;
    Win32EventLoop(const Win32EventLoop&) = delete;
    Win32EventLoop& operator=(const Win32EventLoop&) = delete;

    void DoEvents() override;
    void WaitForEvents() override;
    TimerId StartTimer(int milliseconds, Callback callback) override;
    void StopTimer(TimerId timer) override;
    void Post(Callback callback) override;
    std::int64_t NowMs() const override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void Dispatch(const MSG& message);
    void RunDueTimers();
    void ArmTimer();

    HWND window_ = nullptr;
    // Due time and number: equal due times run in the order they were started.
    std::map<std::pair<std::int64_t, TimerId>, Callback> timers_;
    std::map<TimerId, std::int64_t> dueTimes_;
    TimerId nextTimer_ = 1;
    std::atomic<std::uint64_t> posted_{0}; // calls posted so far, from any thread
};

} // namespace regwiz::platform::win32
