#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/event_loop.h"
#include "platform/inet.h"

namespace regwiz::platform {

// The states of one transfer as the control raises them: each from the loop,
// one per posted task, in order and each once, states the transfer skipped
// filled in, the last one Error or ResponseCompleted. The adapters report how
// far the transfer got; this decides what to raise and when.
class InetProgress {
public:
    InetProgress(EventLoop& loop, InetEvents& events) : loop_(loop), events_(events) {}
    InetProgress(const InetProgress&) = delete;
    InetProgress& operator=(const InetProgress&) = delete;

    // A new transfer: executing, ResolvingHost on its way.
    void Start();
    // The transfer got as far as `state` (ResolvingHost .. ResponseReceived).
    void Reach(std::int16_t state);
    // The transfer ended: Error or ResponseCompleted, after what was reached.
    void Finish(std::int16_t last);
    // Cancelled or let go of: nothing more is raised, tasks posted before do nothing.
    void Reset();
    // Until the last state has been raised.
    bool Executing() const { return executing_; }

private:
    void ScheduleDelivery();
    void DeliverNext();
    std::int16_t TakeNextState();

    EventLoop& loop_;
    InetEvents& events_;
    // Posted tasks hold a weak reference: Reset or the end of the control lets
    // go of it, and their tasks then do nothing.
    std::shared_ptr<char> token_ = std::make_shared<char>();
    bool executing_ = false;
    bool deliveryPosted_ = false;
    std::int16_t reached_ = inet::None;
    std::int16_t raised_ = inet::None;
    std::int16_t final_ = inet::None;
};

// A reply handed out in pieces of whole characters, as GetChunk does.
class ReplyPieces {
public:
    void Set(std::string utf8)
    {
        text_ = std::move(utf8);
        read_ = 0;
    }
    void Clear() { Set({}); }
    // The next piece of at most `characters` characters; empty at the end.
    std::string Next(int characters);

private:
    std::string text_;
    std::size_t read_ = 0;
};

} // namespace regwiz::platform
