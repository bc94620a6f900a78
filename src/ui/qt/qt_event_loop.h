#pragma once

#include <map>

#include <QElapsedTimer>
#include <QObject>

#include "platform/event_loop.h"

class QSocketNotifier;
class QTimer;

namespace regwiz::ui::qt {

// The wizard's event loop as Qt's: waiting runs the window's events, timers
// are single-shot QTimers and posted calls are queued invocations.
class QtEventLoop final : public platform::EventLoop {
public:
    QtEventLoop();

    void DoEvents() override;
    void WaitForEvents() override;
    TimerId StartTimer(int milliseconds, Callback callback) override;
    void StopTimer(TimerId timer) override;
    void Post(Callback callback) override;
    std::int64_t NowMs() const override;
    WatchId WatchFd(int fd, int events, std::function<void(int readyEvents)> callback) override;
    void UnwatchFd(WatchId watch) override;

private:
    void Forget(TimerId timer);

    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };
    std::map<WatchId, Watch> watches_;
    WatchId nextWatch_ = 1;

    // Owns the timers and receives the posted calls: both go with the loop.
    QObject context_;
    std::map<TimerId, QTimer*> timers_;
    TimerId nextTimer_ = 1;
    QElapsedTimer clock_;
};

} // namespace regwiz::ui::qt
