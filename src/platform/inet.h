#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The Internet transfer control as the wizard drives it: an FTP download and
// an HTTP form post, started with Execute, followed through state events, the
// reply read back in pieces.
namespace regwiz::platform {

namespace inet {
// The longest HTTP reply a transfer keeps: the registration server answers in
// a few lines, and anything longer is treated as a failed request.
inline constexpr std::size_t MaxReplyBytes = 1024 * 1024;

inline constexpr std::int16_t None = 0;
inline constexpr std::int16_t ResolvingHost = 1;
inline constexpr std::int16_t HostResolved = 2;
inline constexpr std::int16_t Connecting = 3;
inline constexpr std::int16_t Connected = 4;
inline constexpr std::int16_t Requesting = 5;
inline constexpr std::int16_t RequestSent = 6;
inline constexpr std::int16_t ReceivingResponse = 7;
inline constexpr std::int16_t ResponseReceived = 8;
inline constexpr std::int16_t Disconnecting = 9;
inline constexpr std::int16_t Disconnected = 10;
inline constexpr std::int16_t Error = 11;
inline constexpr std::int16_t ResponseCompleted = 12;

inline constexpr long ErrorStillExecuting = 35764; // "Still executing last request"
inline constexpr long ErrorInvalidUrl = 35750;
} // namespace inet

class InetEvents {
public:
    virtual ~InetEvents() = default;
    // Raised from the event loop, nested in whatever handler waits then.
    virtual void StateChanged(std::int16_t state) = 0;
};

class InetTransfer {
public:
    virtual ~InetTransfer() = default;

    // Design and run-time properties.
    virtual void SetProtocol(const std::string& protocol) = 0; // "FTP", or "" for HTTP
    virtual void SetURL(const std::string& url) = 0;
    virtual std::string URL() const = 0;
    virtual void SetRemotePort(int port) = 0;
    virtual void SetUserName(const std::string& name) = 0;
    virtual void SetPassword(const std::string& password) = 0;
    virtual void SetRequestTimeout(int seconds) = 0;

    // Starts the operation and returns at once: FTP "GET remote local" (on the
    // URL set before when `url` is empty), HTTP "POST"/"GET" with data and
    // headers. Raises a RunTimeError only when the request cannot be started.
    virtual void Execute(const std::string& url, const std::string& operation,
                         const std::string& data = {}, const std::string& headers = {}) = 0;
    virtual bool StillExecuting() const = 0;
    // The next piece of the reply, at most `size` characters; empty when
    // nothing is left. Data type 0: text.
    virtual std::string GetChunk(int size, int dataType) = 0;
    virtual long ResponseCode() const = 0;
    virtual std::string ResponseInfo() const = 0;
    virtual void Cancel() = 0;
};

// Creates one transfer control, its events going to `events`.
using InetFactory = std::function<std::unique_ptr<InetTransfer>(InetEvents& events)>;

} // namespace regwiz::platform
