#pragma once

#include <memory>

#include "platform/event_loop.h"
#include "platform/inet.h"

namespace regwiz::platform::curl {

// The Internet transfer control over libcurl. Execute only starts a transfer:
// its sockets and time-outs are watched by the event loop, and every state
// change is raised from the loop, so nothing here ever blocks or spins. The
// loop must outlive the control.
class CurlInet final : public InetTransfer {
public:
    CurlInet(EventLoop& loop, InetEvents& events);
    ~CurlInet() override;
    CurlInet(const CurlInet&) = delete;
    CurlInet& operator=(const CurlInet&) = delete;

    void SetProtocol(const std::string& protocol) override;
    void SetURL(const std::string& url) override;
    std::string URL() const override;
    void SetRemotePort(int port) override;
    void SetUserName(const std::string& name) override;
    void SetPassword(const std::string& password) override;
    void SetRequestTimeout(int seconds) override;

    void Execute(const std::string& url, const std::string& operation, const std::string& data = {},
                 const std::string& headers = {}) override;
    bool StillExecuting() const override;
    std::string GetChunk(int size, int dataType) override;
    long ResponseCode() const override;
    std::string ResponseInfo() const override;
    void Cancel() override;

private:
    class Engine;
    std::unique_ptr<Engine> engine_; // keeps libcurl's header out of the users' sight
};

InetFactory MakeCurlInetFactory(EventLoop& loop);

} // namespace regwiz::platform::curl
