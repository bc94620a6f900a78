#include "diagnostics/faults.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "platform/errors.h"

namespace regwiz::diagnostics {
namespace {

// The component runs on one thread, as its handlers expect.
std::vector<FaultWatch::Watcher*>& Watchers()
{
    static std::vector<FaultWatch::Watcher*> watchers;
    return watchers;
}

} // namespace

void ResumeNext(const std::function<void()>& step)
{
    try {
        step();
    } catch (const RunTimeError&) {
        // The handler goes on with its next step.
    } catch (const std::exception& fault) {
        ReportFault(fault.what());
    }
}

void ReportFault(std::string_view what)
{
    // A copy: a watcher may end a watch of its own.
    const std::vector<FaultWatch::Watcher*> watchers = Watchers();
    for (FaultWatch::Watcher* watcher : watchers) {
        try {
            (*watcher)(what);
        } catch (const std::exception&) {
            // A watcher that cannot record the fault must not add another.
        }
    }
}

FaultWatch::FaultWatch(Watcher watcher) : watcher_(std::move(watcher))
{
    Watchers().push_back(&watcher_);
}

FaultWatch::~FaultWatch()
{
    auto& watchers = Watchers();
    watchers.erase(std::remove(watchers.begin(), watchers.end(), &watcher_), watchers.end());
}

} // namespace regwiz::diagnostics
