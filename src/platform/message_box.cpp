#include "platform/message_box.h"

#include <stdexcept>

#include "platform/event_loop.h"

namespace regwiz::platform {

Answer DefaultAnswer(int style)
{
    const int buttons = style & 0x0F;
    const int defaultIndex = (style & 0x300) >> 8; // 0 = first button
    static constexpr Answer kButtons[][3] = {
        {Answer::Ok, Answer::Ok, Answer::Ok},
        {Answer::Ok, Answer::Cancel, Answer::Cancel},
        {Answer::Abort, Answer::Retry, Answer::Ignore},
        {Answer::Yes, Answer::No, Answer::Cancel},
        {Answer::Yes, Answer::No, Answer::No},
        {Answer::Retry, Answer::Cancel, Answer::Cancel},
    };
    if (buttons > mb::RetryCancel)
        return Answer::Ok;
    return kButtons[buttons][defaultIndex > 2 ? 0 : defaultIndex];
}

Answer MsgBox(MessageBoxes& boxes, const std::string& text, int style, const std::string& title)
{
    return boxes.Show(text, title.empty() ? kDefaultTitle : title, style);
}

EventLoop::WatchId EventLoop::WatchFd(int, int, std::function<void(int)>)
{
    throw std::logic_error("this event loop does not watch sockets");
}

void EventLoop::UnwatchFd(WatchId) {}

} // namespace regwiz::platform
