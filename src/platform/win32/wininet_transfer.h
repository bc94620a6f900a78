#pragma once

#include <memory>

#include "platform/event_loop.h"
#include "platform/inet.h"

namespace regwiz::platform::win32 {

// The Internet transfer control over WinINet in asynchronous mode. Execute
// only starts a transfer; WinINet reports its progress on worker threads, and
// those reports reach the control through the loop's Post, so every state is
// raised from the loop on the UI thread. An FTP login, which WinINet performs
// synchronously, runs on a thread of its own. The loop must outlive the control;
// WinINet's handles may outlive it (they close in the background).
class WinInetTransfer final : public InetTransfer {
public:
    WinInetTransfer(EventLoop& loop, InetEvents& events);
    ~WinInetTransfer() override;
    WinInetTransfer(const WinInetTransfer&) = delete;
    WinInetTransfer& operator=(const WinInetTransfer&) = delete;

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
    std::unique_ptr<Engine> engine_; // keeps WinINet's header out of the users' sight
};

} // namespace regwiz::platform::win32
