#pragma once

#include <memory>

#include "platform/event_loop.h"
#include "platform/inet.h"

namespace regwiz::platform::win32 {

// The UI thread's message loop as the event-loop port; create it on that thread.
std::unique_ptr<EventLoop> MakeWin32EventLoop();

// Transfer controls over asynchronous WinINet, their states raised from `loop`.
InetFactory MakeWinInetFactory(EventLoop& loop);

} // namespace regwiz::platform::win32
