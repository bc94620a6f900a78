#pragma once

#include <memory>

#include "platform/event_loop.h"
#include "platform/inet.h"
#include "wizard/form_view.h"

// The parts of the Windows platform that windows_platform.cpp assembles but
// that live in sources of their own:
//   MakeWin32EventLoop   src/platform/win32/win32_event_loop.cpp
//   MakeWinInetFactory   src/platform/win32/wininet_transfer.cpp
//   MakeWin32ViewFactory src/ui/win32 (the wizard's window)
namespace regwiz::platform::win32 {

// The user-interface thread's message loop, with SetTimer timers.
std::unique_ptr<EventLoop> MakeWin32EventLoop();

// Transfer controls over asynchronous WinINet, their callbacks carried over
// to `loop`'s thread.
InetFactory MakeWinInetFactory(EventLoop& loop);

// The wizard's window from the system's standard window classes.
wizard::FormViewFactory MakeWin32ViewFactory();

} // namespace regwiz::platform::win32
