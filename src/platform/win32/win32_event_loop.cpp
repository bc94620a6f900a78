#include "platform/win32/win32_event_loop.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <stdexcept>

#include "platform/win32/win32_platform_parts.h"

namespace regwiz::platform::win32 {
namespace {

constexpr char kWindowClass[] = "RegWizardEventLoop";
constexpr UINT kPostedCall = WM_APP + 1; // lParam: a Callback* the receiver frees
constexpr UINT_PTR kTimerId = 1;

} // namespace

Win32EventLoop::Win32EventLoop()
{
    static const ATOM windowClass = [] {
        WNDCLASSEXA description = {};
        description.cbSize = sizeof description;
        description.lpfnWndProc = &WindowProc;
        description.hInstance = GetModuleHandleA(nullptr);
        description.lpszClassName = kWindowClass;
        return RegisterClassExA(&description);
    }();
    if (windowClass == 0)
        throw std::runtime_error("cannot register the event loop's window class");
    window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the event loop's window");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32EventLoop::~Win32EventLoop()
{
    KillTimer(window_, kTimerId);
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    // Calls posted but not run are freed, not run: what they refer to may be gone.
    MSG message;
    while (PeekMessageA(&message, window_, kPostedCall, kPostedCall, PM_REMOVE))
        delete reinterpret_cast<Callback*>(message.lParam);
    DestroyWindow(window_);
}

void Win32EventLoop::DoEvents()
{
    // What is pending now, not what the handlers post meanwhile: a call that
    // posts itself again does not keep DoEvents from returning.
    const std::uint64_t postedBefore = posted_.load();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.hwnd == window_ && message.message == kPostedCall
            && message.wParam >= postedBefore)
            return; // posted since: the next round runs it
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            return;
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // for the outer loop
            return;
        }
        Dispatch(message);
    }
}

void Win32EventLoop::WaitForEvents()
{
    MSG message;
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
    }
    if (got > 0)
        Dispatch(message);
    DoEvents();
}

void Win32EventLoop::Dispatch(const MSG& message)
{
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

EventLoop::TimerId Win32EventLoop::StartTimer(int milliseconds, Callback callback)
{
    const TimerId id = nextTimer_++;
    const std::int64_t due = NowMs() + std::max(milliseconds, 0);
    timers_.emplace(std::make_pair(due, id), std::move(callback));
    dueTimes_.emplace(id, due);
    ArmTimer();
    return id;
}

void Win32EventLoop::StopTimer(TimerId timer)
{
    const auto due = dueTimes_.find(timer);
    if (due == dueTimes_.end())
        return;
    timers_.erase(std::make_pair(due->second, timer));
    dueTimes_.erase(due);
    ArmTimer();
}

void Win32EventLoop::ArmTimer()
{
    if (timers_.empty()) {
        KillTimer(window_, kTimerId);
        return;
    }
    const std::int64_t wait = std::clamp<std::int64_t>(timers_.begin()->first.first - NowMs(),
                                                       USER_TIMER_MINIMUM, INT_MAX);
    SetTimer(window_, kTimerId, static_cast<UINT>(wait), nullptr);
}

void Win32EventLoop::RunDueTimers()
{
    // One at a time, out of the tables before it runs: a callback may start or
    // stop timers, or wait in the loop.
    while (!timers_.empty() && timers_.begin()->first.first <= NowMs()) {
        auto node = timers_.extract(timers_.begin());
        dueTimes_.erase(node.key().second);
        ArmTimer();
        node.mapped()();
    }
    ArmTimer();
}

void Win32EventLoop::Post(Callback callback)
{
    auto call = std::make_unique<Callback>(std::move(callback));
    const WPARAM number = static_cast<WPARAM>(posted_++);
    if (PostMessageA(window_, kPostedCall, number, reinterpret_cast<LPARAM>(call.get())))
        call.release(); // the window frees it when it runs
}

std::int64_t Win32EventLoop::NowMs() const
{
    return static_cast<std::int64_t>(GetTickCount64());
}

LRESULT CALLBACK Win32EventLoop::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* loop = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kPostedCall) {
        const std::unique_ptr<Callback> call(reinterpret_cast<Callback*>(lParam));
        if (loop != nullptr && *call)
            (*call)();
        return 0;
    }
    if (message == WM_TIMER && wParam == kTimerId && loop != nullptr) {
        loop->RunDueTimers();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::unique_ptr<EventLoop> MakeWin32EventLoop()
{
    return std::make_unique<Win32EventLoop>();
}

} // namespace regwiz::platform::win32
