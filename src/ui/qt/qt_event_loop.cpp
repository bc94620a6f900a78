#include "ui/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

namespace regwiz::ui::qt {

QtEventLoop::QtEventLoop()
{
    clock_.start();
}

void QtEventLoop::DoEvents()
{
    QCoreApplication::processEvents();
}

void QtEventLoop::WaitForEvents()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

platform::EventLoop::TimerId QtEventLoop::StartTimer(int milliseconds, Callback callback)
{
    const TimerId id = nextTimer_++;
    auto* timer = new QTimer(&context_);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer); // the wizard appears 3000 ms after it loads, not sooner
    QObject::connect(timer, &QTimer::timeout, &context_, [this, id, callback] {
        // Out of the table before it runs: the callback may start or stop timers.
        Forget(id);
        callback();
    });
    timers_[id] = timer;
    timer->start(std::max(milliseconds, 0));
    return id;
}

void QtEventLoop::StopTimer(TimerId timer)
{
    Forget(timer);
}

void QtEventLoop::Forget(TimerId timer)
{
    const auto found = timers_.find(timer);
    if (found == timers_.end())
        return;
    found->second->stop();
    // Later: this may run inside the timer's own timeout signal.
    found->second->deleteLater();
    timers_.erase(found);
}

void QtEventLoop::Post(Callback callback)
{
    QMetaObject::invokeMethod(&context_, std::move(callback), Qt::QueuedConnection);
}

platform::EventLoop::WatchId QtEventLoop::WatchFd(int fd, int events,
                                                  std::function<void(int readyEvents)> callback)
{
    const WatchId id = nextWatch_++;
    Watch watch;
    auto notify = [&](QSocketNotifier::Type type, int ready) {
        auto* notifier = new QSocketNotifier(fd, type, &context_);
        QObject::connect(notifier, &QSocketNotifier::activated, &context_,
                         [callback, ready] { callback(ready); });
        return notifier;
    };
    if (events & Readable)
        watch.read = notify(QSocketNotifier::Read, Readable);
    if (events & Writable)
        watch.write = notify(QSocketNotifier::Write, Writable);
    watches_[id] = watch;
    return id;
}

void QtEventLoop::UnwatchFd(WatchId watch)
{
    const auto found = watches_.find(watch);
    if (found == watches_.end())
        return;
    for (QSocketNotifier* notifier : {found->second.read, found->second.write}) {
        if (notifier == nullptr)
            continue;
        notifier->setEnabled(false);
        // Later: this may run inside the notifier's own signal.
        notifier->deleteLater();
    }
    watches_.erase(found);
}

std::int64_t QtEventLoop::NowMs() const
{
    return clock_.elapsed();
}

} // namespace regwiz::ui::qt
