#pragma once

#include <memory>
#include <string>

#include "platform/inet.h"
#include "platform/inet_request.h"

namespace regwiz::platform {

// The request time-out a transfer control starts with.
inline constexpr int kDefaultRequestTimeoutS = 60;

// The transfer itself, as each platform does it (libcurl, WinINet). The
// control keeps its properties here for the engine to read.
class InetEngine {
public:
    virtual ~InetEngine() = default;
    virtual void Execute(const InetRequest& request) = 0;
    virtual void Cancel() = 0;
    virtual bool Executing() const = 0;
    // The next piece of the reply, `size` characters at most.
    virtual std::string NextChunk(int size) = 0;

    InetSettings settings;
    std::string userName;
    std::string password;
    int timeoutSeconds = kDefaultRequestTimeoutS;
    long responseCode = 0;
    std::string responseInfo;
};

// The Internet transfer control's properties and methods, the same over every
// platform's engine: a request is checked and parsed here, then started there.
class InetControl : public InetTransfer {
public:
    explicit InetControl(std::unique_ptr<InetEngine> engine);
    ~InetControl() override;
    InetControl(const InetControl&) = delete;
    InetControl& operator=(const InetControl&) = delete;

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
    std::unique_ptr<InetEngine> engine_;
};

} // namespace regwiz::platform
