#pragma once

#include "host/component.h"
#include "regwizard/reg_engine.h"

namespace regwiz::host {

// The public object RegEngine: creating it loads the wizard hidden, the
// wizard's timer later calls UnloadSplash, and its release writes the last
// log line.
class RegEngineObject final : public wizard::HostObject {
public:
    RegEngineObject(Component& component, regwizard::RegEngineEvents* events);
    ~RegEngineObject() override;
    RegEngineObject(const RegEngineObject&) = delete;
    RegEngineObject& operator=(const RegEngineObject&) = delete;

    void UnloadSplash() override;
    void CancelRegistration() override;

    bool m_boolLogEvents = false;

private:
    void Class_Initialize();
    void Class_Terminate();
    void Log(const char* procedure, const char* message);

    Component& component_;
    regwizard::RegEngineEvents* events_;
};

} // namespace regwiz::host
