#include "platform/inet_progress.h"

#include <algorithm>
#include <utility>

namespace regwiz::platform {

void InetProgress::Start()
{
    Reset();
    executing_ = true;
    Reach(inet::ResolvingHost);
}

void InetProgress::Reach(std::int16_t state)
{
    reached_ = std::max(reached_, state);
    ScheduleDelivery();
}

void InetProgress::Finish(std::int16_t last)
{
    final_ = last;
    ScheduleDelivery();
}

void InetProgress::Reset()
{
    token_ = std::make_shared<char>();
    executing_ = false;
    deliveryPosted_ = false;
    reached_ = raised_ = final_ = inet::None;
}

void InetProgress::ScheduleDelivery()
{
    if (!executing_ || deliveryPosted_ || (raised_ >= reached_ && final_ == inet::None))
        return;
    deliveryPosted_ = true;
    loop_.Post([this, token = std::weak_ptr<char>(token_)] {
        if (!token.expired())
            DeliverNext();
    });
}

void InetProgress::DeliverNext()
{
    deliveryPosted_ = false;
    const std::int16_t state = TakeNextState();
    if (state == inet::None)
        return;
    // The next one is posted first, so a handler that waits in the loop still sees it.
    ScheduleDelivery();
    // Last: the handler may wait in the loop, start another request or end the control.
    events_.StateChanged(state);
}

std::int16_t InetProgress::TakeNextState()
{
    if (raised_ < reached_)
        return ++raised_;
    if (final_ == inet::None)
        return inet::None;
    raised_ = std::exchange(final_, inet::None);
    executing_ = false;
    return raised_;
}

std::string ReplyPieces::Next(int characters)
{
    // Whole characters: a piece never ends inside a UTF-8 sequence.
    std::size_t end = read_;
    for (int count = 0; count < characters && end < text_.size(); ++count) {
        ++end;
        while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80)
            ++end;
    }
    std::string piece = text_.substr(read_, end - read_);
    read_ = end;
    return piece;
}

} // namespace regwiz::platform
