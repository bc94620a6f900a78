#pragma once

// The registration wizard component, as a host program uses it.
//
// Create a RegEngine: the wizard loads hidden, and about three seconds later
// raises IsLoaded and shows its window. When the member finishes or gives up,
// the wizard unloads itself and raises RegCanceled; release the object then.
// Everything runs on the host's user-interface thread.

#include <memory>

namespace regwiz::platform {
struct Ports;
}

namespace regwizard {

// The events a RegEngine raises to its host.
class RegEngineEvents {
public:
    virtual ~RegEngineEvents() = default;
    // The wizard is ready: close any splash screen; the window appears next.
    virtual void IsLoaded() = 0;
    // The wizard is over and its window gone: release the RegEngine.
    virtual void RegCanceled() = 0;
};

class RegEngine {
public:
    // Starts the wizard (hidden). `events` may be null and must outlive the object.
    explicit RegEngine(RegEngineEvents* events = nullptr);
    ~RegEngine();
    RegEngine(const RegEngine&) = delete;
    RegEngine& operator=(const RegEngine&) = delete;

    // Raises IsLoaded, then shows the wizard.
    void UnloadSplash();
    // Unloads the wizard, then raises RegCanceled.
    void CancelRegistration();

    // The log switch for the object's own creation and release lines.
    bool m_boolLogEvents() const;
    void m_boolLogEvents(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The platform services the component runs on. Call once, before the first
// RegEngine is created; the services must live as long as the component.
void UsePlatform(const regwiz::platform::Ports& ports);

} // namespace regwizard
