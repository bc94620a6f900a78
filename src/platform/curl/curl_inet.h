#pragma once

#include <memory>

#include "platform/event_loop.h"
#include "platform/inet.h"
#include "platform/inet_control.h"

namespace regwiz::platform::curl {

// The Internet transfer control over libcurl. Execute only starts a transfer:
// its sockets and time-outs are watched by the event loop, and every state
// change is raised from the loop, so nothing here ever blocks or spins. The
// loop must outlive the control.
class CurlInet final : public InetControl {
public:
    CurlInet(EventLoop& loop, InetEvents& events);

private:
    class Engine;
};

InetFactory MakeCurlInetFactory(EventLoop& loop);

} // namespace regwiz::platform::curl
