#pragma once

#include <memory>

#include "platform/event_loop.h"
#include "platform/inet.h"
#include "platform/inet_control.h"

namespace regwiz::platform::win32 {

// The Internet transfer control over WinINet in asynchronous mode. Execute
// only starts a transfer; WinINet reports its progress on worker threads, and
// those reports reach the control through the loop's Post, so every state is
// raised from the loop on the UI thread. An FTP login, which WinINet performs
// synchronously, runs on a thread of its own. The loop must outlive the control;
// WinINet's handles may outlive it (they close in the background).
class WinInetTransfer final : public InetControl {
public:
    WinInetTransfer(EventLoop& loop, InetEvents& events);

private:
    class Engine;
};

} // namespace regwiz::platform::win32
