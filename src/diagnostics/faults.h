#pragma once

#include <functional>
#include <string_view>

namespace regwiz::diagnostics {

// Runs one step of a handler that goes on with its next step when the step
// raises a run-time error ("On Error Resume Next"). Any other exception is a
// fault in the component's own code: it is reported to the fault watchers
// and the handler goes on as well, so the member is not stranded.
void ResumeNext(const std::function<void()>& step);

// Reports a fault of the component's own code (not a run-time error the
// system expects) to every watcher.
void ReportFault(std::string_view what);

// Watches the faults while it lives: the component writes them to its log
// whatever the log switch, tests fail on them.
class FaultWatch {
public:
    using Watcher = std::function<void(std::string_view what)>;
    explicit FaultWatch(Watcher watcher);
    ~FaultWatch();
    FaultWatch(const FaultWatch&) = delete;
    FaultWatch& operator=(const FaultWatch&) = delete;

private:
    Watcher watcher_;
};

} // namespace regwiz::diagnostics
